#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "engine/ModuleRegistry.h"
#include "engine/NetlistConstants.h"
#include "engine/QX_VoiceAllocatorBase.h"
#include "engine/ShippedNetlist.h"
#include "support/TestEngine.h"

namespace {

// Ids of plain classes, an allocator and the summing module, for synthetic netlists.
constexpr std::int16_t kPlainA = 6074;
constexpr std::int16_t kPlainB = 6075;
constexpr std::int16_t kPlainC = 6076;
constexpr std::int16_t kAllocator = 6543;
constexpr std::int16_t kSumming = 6532;

NetlistEntry in(int pin, int source, int output) {
    return {static_cast<std::uint8_t>(pin), static_cast<std::uint8_t>(output), static_cast<std::int16_t>(source)};
}

NetlistRecord record(std::int16_t id, std::initializer_list<NetlistEntry> entries) {
    NetlistRecord r{};
    r.moduleId = id;
    int i = 0;
    for (const NetlistEntry& e : entries) {
        r.entries[i++] = e;
    }
    if (i < kNetlistEntriesPerRecord) {
        r.entries[i] = {kEndOfEntries, 0, 0};
    }
    return r;
}

NetlistRecord marker(std::int16_t id, std::uint8_t copies = 0, std::int16_t target = 0) {
    NetlistRecord r{};
    r.moduleId = id;
    r.entries[0] = {copies, 0, target};
    return r;
}

class EngineGraphBuilder : public ::testing::Test {
protected:
    int build(const std::vector<NetlistRecord>& netlist) {
        netlist_ = netlist;
        netlist_.push_back(marker(kNetlistEnd));
        engine.setNetlist(netlist_);
        return engine.buildEngine();
    }

    QX_ModuleBase* module(int index) { return engine.modules[index]; }

    TestEngine engine{64};
    std::vector<NetlistRecord> netlist_;
};

TEST_F(EngineGraphBuilder, VoiceGroupIsCopiedAndWiredPerCopy) {
    constexpr int kCopies = 3;
    const int count = build({
        record(kPlainC, {}),
        record(kAllocator, {}),
        marker(kVoiceGroupStart, kCopies),
        record(kPlainA, {in(0, kPlainC, 0), in(1, 10, 0)}),
        record(kPlainB, {in(0, kPlainA, 0), in(2, kAllocator, 1), in(3, 5501, 0)}),
        marker(kVoiceGroupEnd),
        record(kSumming, {in(0, kPlainB, 0)}),
    });
    ASSERT_EQ(count, 1 + 1 + kCopies * 2 + 1);

    auto* allocator = dynamic_cast<QX_VoiceAllocatorBase*>(module(1));
    ASSERT_NE(allocator, nullptr);
    EXPECT_EQ(allocator->groupStart(), 2);
    EXPECT_EQ(allocator->groupCopies(), kCopies);
    EXPECT_EQ(allocator->groupBodyLength(), 2);

    for (int k = 0; k < kCopies; ++k) {
        QX_ModuleBase* a = module(2 + 2 * k);
        QX_ModuleBase* b = module(3 + 2 * k);
        EXPECT_EQ(a->moduleId, kPlainA);
        EXPECT_EQ(b->moduleId, kPlainB);
        EXPECT_EQ(engine.moduleFlags[a->moduleIndex], kModuleAsleep);
        EXPECT_EQ(a->inputs[0], module(0)->outputs[0]) << "outside source, copy " << k;
        EXPECT_EQ(a->inputs[1], &engine.paramValues[10]);
        EXPECT_EQ(b->inputs[0], a->outputs[0]) << "source of the same copy " << k;
        EXPECT_EQ(b->inputSources[0], a);
        EXPECT_EQ(b->inputSources[2], allocator);
        EXPECT_NE(b->inputs[2], nullptr);
        EXPECT_EQ(*b->inputs[3], 1.0f);
    }
    EXPECT_EQ(engine.moduleFlags[1], 0u);
    EXPECT_EQ(engine.moduleFlags[8], 0u);

    // One node reaches every copy: the outside source, the parameter, the allocator output.
    const FanOutNode* outside = module(0)->fanOut[0];
    ASSERT_NE(outside, nullptr);
    EXPECT_EQ(outside->next, nullptr);
    EXPECT_EQ(outside->moduleIndex, 2);
    EXPECT_EQ(outside->copies, kCopies);
    EXPECT_EQ(outside->stride, 2);
    const BindingNode* binding = engine.paramBindings[10];
    ASSERT_NE(binding, nullptr);
    EXPECT_EQ(binding->next, nullptr);
    EXPECT_EQ(binding->copies, kCopies);
    EXPECT_EQ(binding->stride, 2);
    const FanOutNode* fromAllocator = allocator->fanOut[1];
    ASSERT_NE(fromAllocator, nullptr);
    EXPECT_EQ(fromAllocator->next, nullptr);
    EXPECT_EQ(fromAllocator->copies, kCopies);
    // Inside the body, each copy's source adds its own plain node.
    for (int k = 0; k < kCopies; ++k) {
        const FanOutNode* own = module(2 + 2 * k)->fanOut[0];
        ASSERT_NE(own, nullptr);
        EXPECT_EQ(own->moduleIndex, 3 + 2 * k);
        EXPECT_EQ(own->copies, 0);
    }
    // The summing module is wired per voice by the module itself, not through fan-out.
    EXPECT_EQ(module(8)->inputSources[0], module(3));
    EXPECT_EQ(module(3)->fanOut[0], nullptr);
}

TEST_F(EngineGraphBuilder, ExtraWiringFeedsAnExistingModuleFromALaterOne) {
    NetlistRecord applied = record(0, {in(1, kPlainB, 0)});
    applied.moduleId = kExtraWiring;  // its first word is never read as a marker
    const int count = build({
        record(kPlainA, {}),
        record(kPlainB, {in(0, kPlainA, 0)}),
        marker(kExtraWiring, 0, kPlainA),
        applied,
        record(kPlainC, {in(0, kPlainB, 0)}),
    });
    ASSERT_EQ(count, 3);
    EXPECT_EQ(module(0)->inputs[1], module(1)->outputs[0]);
    EXPECT_EQ(module(0)->inputSources[1], module(1));
    EXPECT_EQ(module(2)->moduleId, kPlainC);
}

TEST_F(EngineGraphBuilder, ALaterRecordWithTheSameIdTakesOverTheId) {
    ASSERT_EQ(build({
                  record(kPlainA, {}),
                  record(kPlainB, {in(0, kPlainA, 0)}),
                  record(kPlainA, {}),
                  record(kPlainC, {in(0, kPlainA, 0)}),
              }),
              4);
    EXPECT_EQ(module(1)->inputSources[0], module(0));
    EXPECT_EQ(module(3)->inputSources[0], module(2));
}

TEST_F(EngineGraphBuilder, ARecordWithoutEndMarkUsesAllSixtyFourEntries) {
    NetlistRecord full{};
    full.moduleId = kPlainA;
    for (int pin = 0; pin < kNetlistEntriesPerRecord; ++pin) {
        full.entries[pin] = in(pin, 100 + pin, 0);
    }
    ASSERT_EQ(build({full, record(kPlainB, {in(0, 300, 0)})}), 2);
    for (int pin = 0; pin < kNetlistEntriesPerRecord; ++pin) {
        EXPECT_EQ(module(0)->inputs[pin], &engine.paramValues[100 + pin]) << pin;
    }
    EXPECT_EQ(module(1)->inputs[0], &engine.paramValues[300]);
}

TEST_F(EngineGraphBuilder, RegistrationsUnknownIdsAndTheEnd) {
    ASSERT_EQ(build({
                  record(6001, {in(0, 12, 0)}),  // no class: skipped with its entries
                  record(kPlainA, {in(203, 77, 5)}),
              }),
              1);
    EXPECT_EQ(module(0)->parameterSlots[3], 77);
    EXPECT_EQ(module(0)->parameterSlotFlags[3], 5);
    EXPECT_EQ(engine.paramBindings[12], nullptr);
    EXPECT_EQ(build({}), 0);
}

TEST_F(EngineGraphBuilder, TheShippedNetlistBuildsTheInstrument) {
    engine.setNetlist(shippedNetlist());
    ASSERT_EQ(engine.buildEngine(), 1379);
    const Netlist netlist = shippedNetlist();
    // Module 57 + 64k + j is copy k of body record j (record 58 + j).
    for (int k : {0, 7, 19}) {
        for (int j : {0, 1, 32, 63}) {
            EXPECT_EQ(module(57 + 64 * k + j)->moduleId, netlist[58 + static_cast<std::size_t>(j)].moduleId);
        }
    }
    EXPECT_EQ(module(1378)->moduleId, 6230);
    ASSERT_NE(module(1378)->getOutput(0), nullptr);
    ASSERT_NE(module(1378)->getOutput(1), nullptr);

    // "Env1 Shape" reaches the envelope of all 20 voices through one node.
    const BindingNode* shape = engine.paramBindings[235];
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->next, nullptr);
    EXPECT_EQ(shape->copies, 20);
    EXPECT_EQ(shape->stride, 64);
    EXPECT_EQ(module(shape->moduleIndex)->moduleId, 6296);

    // The two feedback inputs of the extra wiring.
    const auto byId = [&](int id) { return module(engine.moduleIndexById[id - kFirstModuleId]); };
    EXPECT_EQ(byId(6114)->inputs[1], byId(6245)->outputs[0]);
    EXPECT_EQ(byId(6115)->inputs[1], byId(6246)->outputs[0]);

    // Every input the netlist wires is set, in every voice copy.
    int copy = 0;
    int index = 0;
    bool inGroup = false;
    std::size_t groupFirst = 0;
    for (std::size_t r = 0; netlist[r].moduleId < kNetlistEnd;) {
        const NetlistRecord& rec = netlist[r];
        if (rec.moduleId == kVoiceGroupStart) {
            inGroup = true;
            groupFirst = ++r;
            continue;
        }
        if (rec.moduleId == kVoiceGroupEnd) {
            if (inGroup && ++copy < 20) {
                r = groupFirst;
                continue;
            }
            inGroup = false;
            ++r;
            continue;
        }
        if (rec.moduleId == kExtraWiring) {
            r += 2;
            continue;
        }
        for (const NetlistEntry& e : rec.entries) {
            if (e.pin == kEndOfEntries) {
                break;
            }
            if (e.pin < kModulePins && findModuleClass(module(index)->moduleId)->role != ModuleRole::VoiceSumming) {
                EXPECT_NE(module(index)->inputs[e.pin], nullptr) << "record " << r << " pin " << int(e.pin);
            }
        }
        ++index;
        ++r;
    }
    EXPECT_EQ(index, 1379);
}

TEST_F(EngineGraphBuilder, RebuildingStartsFromAnEmptyEngine) {
    engine.setNetlist(shippedNetlist());
    ASSERT_EQ(engine.buildEngine(), 1379);
    engine.destroyEngine();
    EXPECT_EQ(engine.moduleCount, 0);
    ASSERT_EQ(engine.buildEngine(), 1379);
    const BindingNode* shape = engine.paramBindings[235];
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->next, nullptr);  // the lists were emptied, not appended to
}

}  // namespace
