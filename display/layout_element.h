// One part of a view as its layout places it, for the checks that every part lies on the
// screen and no two texts overlap.
#pragma once

#include <string>

#include <QRect>

namespace vexa {

struct LayoutElement {
    std::string name;
    QRect rect;         // screen pixels
    bool text = false;  // a text: no other text may overlap it
};

}  // namespace vexa
