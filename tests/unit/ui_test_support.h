// Readable failure messages for the wizard's geometry types.
#pragma once

#include <ostream>

#include "ui/geometry.h"

namespace palisade {

inline std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
inline std::ostream& operator<<(std::ostream& out, Point p) { return out << "(" << p.x << ", " << p.y << ")"; }
inline std::ostream& operator<<(std::ostream& out, Size s) { return out << s.width << "x" << s.height; }

}  // namespace palisade
