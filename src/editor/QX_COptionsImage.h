// An option list that shows the selected item as a frame of its bitmap strip (one frame per
// item); the menu is the same as the text version's.
#pragma once

#include "editor/QX_COptionsText.h"

class QX_COptionsImage : public QX_COptionsText {
public:
    using QX_COptionsText::QX_COptionsText;

    void draw(toolkit::DrawContext& context) override;
};
