#include "editor/EditorBuilder.h"

#include <algorithm>

#include "editor/BitmapCache.h"
#include "editor/EditorLayout.h"
#include "editor/QX_ExclusiveButton.h"
#include "params/ParameterLookups.h"
#include "toolkit/Frame.h"

namespace {

int tagOf(const ControlDescriptor& row) { return static_cast<int>(row.id & control::kIdMask); }

bool isMomentary(int tag) {
    const ControlDescriptor* row = ParameterLookups::get().descriptor(tag);
    return row != nullptr && row->kind == control::kActionButton;
}

}  // namespace

EditorBuilder::EditorBuilder(BitmapCache& bitmaps, toolkit::ControlListener& listener, EditorViews& views)
    : bitmaps_(bitmaps), listener_(listener), views_(views) {}

void EditorBuilder::build(std::span<const ControlDescriptor> table, toolkit::Frame& frame) {
    containers_.assign(1, &frame);
    style_ = ControlStyle{};
    for (std::size_t i = 1; i < table.size() && table[i].kind != control::kEndOfTable; ++i) {
        addRow(table[i]);
    }
    containers_.clear();
}

void EditorBuilder::addRow(const ControlDescriptor& row) {
    const int tag = tagOf(row);
    if (row.kind >= control::kFirstDirectiveKind) {
        directive(row);
    } else if (row.kind >= control::kMemoryBanks && row.kind <= control::kLastMemoryBanks) {
        views_.randomGroups[tag] = std::make_unique<QX_GUI_Memory_Banks>(row.kind - control::kMemoryBanks);
    } else if (row.kind == control::kWebLinks) {
        views_.commandTarget = tag;
        views_.menuAnchor = containers_.back()->contentOrigin() + toolkit::Point{row.x, row.y};
    } else if (control::isControlKind(row.kind)) {
        addControl(row);
    }
}

void EditorBuilder::addControl(const ControlDescriptor& row) {
    std::unique_ptr<toolkit::Control> made = makeControl(row, style_, bitmaps_, &listener_);
    if (made == nullptr) {
        return;
    }
    // Switches and menus carry no caption: their name tells what they are.
    if (made->tooltip().empty() && row.name != nullptr) {
        made->setTooltip(row.name);
    }
    views_.slots.set(tagOf(row), made.get());
    containers_.back()->addView(std::move(made));
}

void EditorBuilder::directive(const ControlDescriptor& row) {
    const int id = tagOf(row);
    switch (row.kind) {
        case control::kOptionPanel:
            views_.panels.addOptionPanel(id, row.arg, row.x);
            break;
        case control::kExclusiveSet:
            views_.panels.addExclusiveSet({id, row.arg, row.x, row.y});
            joinExclusive(id, {row.arg, row.x, row.y});
            break;
        case control::kPanelButton:
            views_.panels.addPanelButton(id, {row.arg, row.x, row.y}, isMomentary(id));
            break;
        case control::kCommandLink:
            views_.links.push_back({id, row.arg, row.x});
            break;
        case control::kGroupMember:
            addMember(id, row.arg, row.x);
            break;
        case control::kTextSize:
            style_.textWidth = row.x;
            style_.textHeight = row.y;
            break;
        case control::kStripFrames:
            style_.frames = row.x;
            break;
        case control::kHiddenPanel:
        case control::kSubPanel:
            openPanel(row);
            break;
        case control::kClosePanel:
            if (containers_.size() > 1) {
                containers_.pop_back();
            }
            break;
        default:
            break;  // directives this editor gives no meaning leave the state as it is
    }
}

// The buttons of a set select themselves among each other: a click on the selected one keeps it.
void EditorBuilder::joinExclusive(int first, std::array<int, 3> others) {
    auto* button = dynamic_cast<QX_ExclusiveButton*>(views_.slots.at(first));
    if (button == nullptr) {
        return;
    }
    for (const int other : others) {
        if (auto* partner = dynamic_cast<QX_ExclusiveButton*>(views_.slots.at(other))) {
            button->joinSet(*partner);
        }
    }
}

void EditorBuilder::addMember(int group, int position, int member) {
    toolkit::Control* control = views_.slots.at(member);
    if (control == nullptr) {
        return;
    }
    views_.groupMembers[group].push_back(member);
    if (const auto found = views_.randomGroups.find(group); found != views_.randomGroups.end()) {
        found->second->addMember(position, *control);
    } else if (auto* target = dynamic_cast<ControlGroup*>(views_.slots.at(group))) {
        target->addMember(position, *control);
    }
}

// A panel drawn by a known bitmap has that bitmap's size; any other panel reaches to the end of
// the section it starts in, or of the container it opens in.
toolkit::Rect EditorBuilder::panelRect(const ControlDescriptor& row) const {
    if (const layout::Panel* known = layout::findPanel(row.bitmap)) {
        return toolkit::Rect::fromSize(row.x, row.y, known->width, known->height);
    }
    if (const auto bitmap = bitmaps_.get(row.bitmap)) {
        return toolkit::Rect::fromSize(row.x, row.y, bitmap->width(), bitmap->height());
    }
    const toolkit::ContainerView& container = *containers_.back();
    const toolkit::Point origin = container.contentOrigin();
    toolkit::Rect end = container.rect().offset(-container.rect().left, -container.rect().top);
    if (const layout::Section* section = layout::sectionAt(origin.x + row.x, origin.y + row.y)) {
        const layout::Box& b = section->box;
        end = toolkit::Rect::fromSize(b.x - origin.x, b.y - origin.y, b.width, b.height).intersection(end);
    }
    return {row.x, row.y, std::max<int>(row.x, end.right), std::max<int>(row.y, end.bottom)};
}

void EditorBuilder::openPanel(const ControlDescriptor& row) {
    auto panel = std::make_unique<toolkit::ContainerView>(panelRect(row));
    panel->setBackgroundBitmap(bitmaps_.get(row.bitmap));
    panel->close();
    toolkit::ContainerView* raw = containers_.back()->addView(std::move(panel));
    views_.panels.addPanel(tagOf(row), *raw);
    containers_.push_back(raw);
}
