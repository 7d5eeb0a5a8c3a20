// The link module: which message opens which link, and what opens nothing.
#include "modules/modulation/QX_DSP_OS_Command.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "support/TestEngine.h"

namespace {

using Command = QX_DSP_OS_Command;

class LinkEngine : public TestEngine {
public:
    void requestLink(const char* link) override { links.emplace_back(link); }
    std::vector<std::string> links;
};

struct Message {
    int pin;
    std::int32_t ivalue;
};

struct LinkCase {
    const char* name;
    std::vector<Message> messages;
    std::vector<std::string> opened;
};

const std::string kWebPage = LinkMessages::kPinLinks[0];
const std::string kMailForm = LinkMessages::kPinLinks[3];

class ModulesOsCommand : public ::testing::TestWithParam<LinkCase> {};

TEST_P(ModulesOsCommand, OpensTheLinkOfEachPress) {
    LinkEngine engine;
    auto* command = engine.add<Command>(false);
    engine.prepareAll();
    std::uint32_t time = engine.sampleClock;
    for (const Message& m : GetParam().messages) {
        command->receiveEvent(time++, m.pin, kEventStill, m.ivalue, static_cast<float>(m.ivalue) * 0.1f, nullptr);
    }
    engine.run(engine.engineBlockLength);
    EXPECT_EQ(engine.links, GetParam().opened);
    EXPECT_EQ(command->pendingEvents(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Modules, ModulesOsCommand,
    ::testing::Values(
        LinkCase{"WebPage", {{0, 10}, {0, 0}}, {kWebPage}},
        LinkCase{"MailForm", {{3, 10}, {3, 0}}, {kMailForm}},
        LinkCase{"EachPressOpensAgain", {{0, 10}, {0, 0}, {0, 10}}, {kWebPage, kWebPage}},
        LinkCase{"ReleaseOpensNothing", {{0, 0}, {3, 0}, {4, 0}}, {}},
        LinkCase{"EmptyEntriesOpenNothing", {{1, 10}, {2, 10}}, {}},
        LinkCase{"PinsPastTheTableOpenNothing", {{6, 10}, {40, 10}, {63, 10}}, {}},
        LinkCase{"ChosenPage", {{5, 2}, {4, 10}}, {LinkMessages::kChosenLinks[2]}},
        LinkCase{"ChoosingOnlyStores", {{5, 1}, {5, 2}}, {}},
        LinkCase{"FirstPageUntilOneIsChosen", {{4, 10}}, {LinkMessages::kChosenLinks[0]}},
        LinkCase{"LastChoiceCounts", {{5, 2}, {5, 1}, {4, 10}, {4, 0}}, {LinkMessages::kChosenLinks[1]}},
        LinkCase{"ChoicePastTheTableOpensNothing", {{5, 3}, {4, 10}, {5, -1}, {4, 10}}, {}},
        LinkCase{"ChoiceBackInRangeOpensAgain", {{5, 99}, {4, 10}, {5, 0}, {4, 10}}, {LinkMessages::kChosenLinks[0]}}),
    [](const auto& info) { return std::string(info.param.name); });

// Link buttons send gestures only, so a press counts while a program is being applied or has
// just been applied and no audio has run since.
TEST(ModulesOsCommandLoading, PressesCountWhileAProgramIsApplied) {
    LinkEngine engine;
    auto* command = engine.add<Command>(false);
    engine.prepareAll();
    engine.programLoading.store(true);
    engine.programJustLoaded.store(true);
    const std::uint32_t now = engine.sampleClock;
    command->handleEvent(Event{now, 0, kEventStill, 10, 1.0f, nullptr, nullptr}, 0);
    command->handleEvent(Event{now, LinkMessages::kPinChoose, kEventStill, 1, 0.1f, nullptr, nullptr}, 0);
    command->handleEvent(Event{now, LinkMessages::kPinOpenChosen, kEventStill, 10, 1.0f, nullptr, nullptr}, 0);
    EXPECT_EQ(engine.links, (std::vector<std::string>{kWebPage, LinkMessages::kChosenLinks[1]}));
}

// The links reach a command interpreter as one argument ("cmd.exe /C start <link>", or a shell):
// nothing in them may split or redirect the command.
TEST(ModulesOsCommandLinks, AreWebPagesAndAMailFormThatNoShellSplits) {
    constexpr std::string_view kSpecial = " \t\"'&|<>^%!;`$()\\";
    std::vector<std::string_view> links;
    for (const char* link : LinkMessages::kPinLinks) {
        links.emplace_back(link);
    }
    for (const char* link : LinkMessages::kChosenLinks) {
        links.emplace_back(link);
    }
    EXPECT_TRUE(links[0].starts_with("https://"));
    EXPECT_TRUE(links[1].empty());
    EXPECT_TRUE(links[2].empty());
    EXPECT_TRUE(links[3].starts_with("mailto:"));
    for (std::size_t i = std::size(LinkMessages::kPinLinks); i < links.size(); ++i) {
        EXPECT_TRUE(links[i].starts_with("https://")) << links[i];
    }
    for (const std::string_view link : links) {
        EXPECT_EQ(link.find_first_of(kSpecial), std::string_view::npos) << link;
    }
}

}  // namespace
