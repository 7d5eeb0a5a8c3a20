// The MIDI-learn panel: opened over the editor for one parameter, it shows the controller that
// moves next (or one picked from a menu) and maps it to the parameter when confirmed.
#pragma once

#include <memory>
#include <string>

#include "editor/MidiLearnTarget.h"
#include "toolkit/Bitmap.h"
#include "toolkit/PopupMenu.h"
#include "toolkit/View.h"

class QX_AssignMidiCC : public toolkit::View {
public:
    static constexpr int kNone = -1;  // no parameter, no code
    static constexpr int kControllerNumbers = 128;  // plain controllers 0..127; codes above are NRPNs

    // Areas relative to the panel's top-left corner.
    static constexpr toolkit::Rect kTitleArea = toolkit::Rect::fromSize(17, 13, 306, 24);
    static constexpr toolkit::Rect kCodeField = toolkit::Rect::fromSize(131, 95, 180, 24);
    static constexpr toolkit::Rect kConfirmArea = toolkit::Rect::fromSize(131, 126, 70, 20);

    // Starts hidden; `background` may be null (the panel then draws a plain body).
    QX_AssignMidiCC(MidiLearnTarget& target, std::shared_ptr<const toolkit::Bitmap> background);

    // Shows the panel for parameter `id` whose current code is `code`, centred on `clicked` and
    // moved inside `editorBounds` (both in the parent's coordinates).
    void openFor(int id, int code, toolkit::Point clicked, const toolkit::Rect& editorBounds);

    int parameterId() const { return id_; }
    int pendingCode() const { return pending_; }
    // The code field's text for `code`.
    static std::string codeText(int code);

    const toolkit::PopupMenu& menu() const { return menu_; }

    void draw(toolkit::DrawContext& context) override;
    bool onMouseDown(const toolkit::MouseEvent& event) override;
    void onMouseUp(const toolkit::MouseEvent& event) override;
    void onIdle() override;

private:
    toolkit::Rect area(const toolkit::Rect& relative) const { return relative.offset(rect().topLeft()); }
    void openMenu();
    void choose(int item);
    void confirm();

    MidiLearnTarget& target_;
    std::shared_ptr<const toolkit::Bitmap> background_;
    toolkit::PopupMenu menu_;
    int id_ = kNone;
    int pending_ = kNone;
    bool fieldPressed_ = false;
};
