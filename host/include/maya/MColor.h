// MColor: an RGBA colour in single precision; alpha defaults to 1.
#pragma once

class MColor {
public:
    MColor() = default;
    MColor(float rr, float gg, float bb = 0.0f, float aa = 1.0f) : r(rr), g(gg), b(bb), a(aa) {}

    bool operator==(const MColor& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const MColor& o) const { return !(*this == o); }
    float operator[](unsigned int i) const { return i == 0 ? r : (i == 1 ? g : (i == 2 ? b : a)); }

    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};
