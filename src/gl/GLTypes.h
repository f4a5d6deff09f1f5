#pragma once

// Small records shared by the 3D scenes: points and bounds, and colours as
// the fixed-function pipeline takes them.

// Three 32-bit floats: a position or one corner of a bounding box.
struct TGLArrayf3 {
    float x = 0;
    float y = 0;
    float z = 0;
};

// A colour with an "assigned" flag, each channel 0 to 1. Material colours
// and the per-draw colour override are kept in this form.
struct TLight {
    bool data_assigned = false;
    float R = 0;
    float G = 0;
    float B = 0;
    float A = 0;
};
