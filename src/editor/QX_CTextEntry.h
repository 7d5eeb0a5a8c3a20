// A text field whose text lives in the program: the editor supplies it through `source` and
// collects an edited text through `committed`.
#pragma once

#include <functional>
#include <string>

#include "toolkit/TextEntry.h"

class QX_CTextEntry : public toolkit::TextEntry {
public:
    using Source = std::function<std::string()>;
    using Committed = std::function<void(const std::string& text)>;

    using TextEntry::TextEntry;

    void setSource(Source source) { source_ = std::move(source); }
    void setCommitted(Committed committed) { committed_ = std::move(committed); }
    // Shows the source's current text (a program change).
    void refresh();

    bool onKeyDown(const toolkit::KeyEvent& event) override;
    void onFocusChanged(bool focused) override;

private:
    void collectIfEdited(bool wasEditing);

    Source source_;
    Committed committed_;
    std::string shown_;  // the text as last refreshed or committed
};
