// Geometry of the menu model "Models/RvMenu.obj" and its material library.

#include "MenuModel.h"

#include "MenuLayout.h"

#include <algorithm>
#include <cmath>

std::vector<TKeyCap> KeyboardKeys() {
    struct TRowKey {
        const char* label;
        const char* hangul;
        double width;
        TKeyKind kind;
    };
    using K = TKeyKind;
    const std::vector<std::vector<TRowKey>> rows = {
        {{"`", "", 1, K::Letter},
         {"1", "", 1, K::Letter},
         {"2", "", 1, K::Letter},
         {"3", "", 1, K::Letter},
         {"4", "", 1, K::Letter},
         {"5", "", 1, K::Letter},
         {"6", "", 1, K::Letter},
         {"7", "", 1, K::Letter},
         {"8", "", 1, K::Letter},
         {"9", "", 1, K::Letter},
         {"0", "", 1, K::Letter},
         {"-", "", 1, K::Letter},
         {"=", "", 1, K::Letter},
         {"←", "", 2, K::Modifier}},
        {{"Tab", "", 1.5, K::Modifier},
         {"Q", "ㅂ", 1, K::Letter},
         {"W", "ㅈ", 1, K::Letter},
         {"E", "ㄷ", 1, K::Letter},
         {"R", "ㄱ", 1, K::Letter},
         {"T", "ㅅ", 1, K::Letter},
         {"Y", "ㅛ", 1, K::Letter},
         {"U", "ㅕ", 1, K::Letter},
         {"I", "ㅑ", 1, K::Letter},
         {"O", "ㅐ", 1, K::Letter},
         {"P", "ㅔ", 1, K::Letter},
         {"[", "", 1, K::Letter},
         {"]", "", 1, K::Letter},
         {"\\", "", 1.5, K::Letter}},
        {{"Caps", "", 1.75, K::Modifier},
         {"A", "ㅁ", 1, K::Letter},
         {"S", "ㄴ", 1, K::Letter},
         {"D", "ㅇ", 1, K::Letter},
         {"F", "ㄹ", 1, K::Letter},
         {"G", "ㅎ", 1, K::Letter},
         {"H", "ㅗ", 1, K::Letter},
         {"J", "ㅓ", 1, K::Letter},
         {"K", "ㅏ", 1, K::Letter},
         {"L", "ㅣ", 1, K::Letter},
         {";", "", 1, K::Letter},
         {"'", "", 1, K::Letter},
         {"Enter", "", 2.25, K::Modifier}},
        {{"Shift", "", 2.25, K::Modifier},
         {"Z", "ㅋ", 1, K::Letter},
         {"X", "ㅌ", 1, K::Letter},
         {"C", "ㅊ", 1, K::Letter},
         {"V", "ㅍ", 1, K::Letter},
         {"B", "ㅠ", 1, K::Letter},
         {"N", "ㅜ", 1, K::Letter},
         {"M", "ㅡ", 1, K::Letter},
         {",", "", 1, K::Letter},
         {".", "", 1, K::Letter},
         {"/", "", 1, K::Letter},
         {"Shift", "", 2.75, K::Modifier}},
        {{"Ctrl", "", 1.25, K::Modifier},
         {"", "", 1.25, K::Modifier},
         {"Alt", "", 1.25, K::Modifier},
         {"", "", 6.25, K::Space},
         {"한/영", "", 1.25, K::Modifier},
         {"한자", "", 1.25, K::Modifier},
         {"", "", 1.25, K::Modifier},
         {"Ctrl", "", 1.25, K::Modifier}},
    };
    std::vector<TKeyCap> keys;
    for (size_t row = 0; row < rows.size(); ++row) {
        double at = -7.5;
        for (const TRowKey& key : rows[row]) {
            TKeyCap cap;
            cap.x = (at + key.width / 2) * kKeyUnit;
            cap.z = (double(row) - 2.0) * kKeyUnit;
            cap.width = key.width;
            cap.label = QString::fromUtf8(key.label);
            cap.hangul = QString::fromUtf8(key.hangul);
            cap.kind = key.kind;
            keys.push_back(cap);
            at += key.width;
        }
    }
    return keys;
}

namespace {

// Puts an object built round the origin into its slot: scaled, raised to its
// height and set back in depth, both multiplied by the slot's depth factor,
// so that it looks as tall and sits as high as the slot says. (The menu
// moves it sideways.)
TTransform Float(const TSlot& slot) {
    const double k = slot.depth, s = slot.scale * k;
    return TTransform::Translate({0, slot.y * k, kCameraZ - k * (kCameraZ - kObjectZ)})
        .After(TTransform::Scale(s, s, s));
}

// The keyboard's picture is its top view: u across, v from the front edge
// (bottom of the picture) to the back edge (top).
void KeyboardUV(TVec3 p, double& u, double& v) {
    u = (p.x + kKeyboardHalfWidth) / (2 * kKeyboardHalfWidth);
    v = (kKeyboardHalfDepth - p.z) / (2 * kKeyboardHalfDepth);
}

TMesh Keyboard() {
    TMesh keyboard("KeyboardObj");
    keyboard.Append(RoundedBox(
        "KeyboardMat", {kKeyboardHalfWidth, kKeyboardHalfHeight, kKeyboardHalfDepth}, 0.9, 2,
        [](int, int, TVec3 p, TVec3, double& u, double& v) { KeyboardUV(p, u, v); }));
    for (const TKeyCap& key : KeyboardKeys()) {
        const double w = key.width * kKeyUnit - 0.34;
        const double d = kKeyUnit - 0.34;
        TMesh cap =
            Frustum("KeyboardMat", w, d, 1.05, 0.36, [&](TVec3 p, TVec3, double& u, double& v) {
                KeyboardUV(p + TVec3{key.x, 0, key.z}, u, v);
            });
        cap.Apply(TTransform::Translate({key.x, kKeyboardHalfHeight - 0.05, key.z}));
        keyboard.Append(cap);
    }
    keyboard.Apply(Float(kKeyboardSlot)
                       .After(TTransform::RotateY(-8))
                       .After(TTransform::RotateX(kKeyboardTilt)));
    return keyboard;
}

// A sheet of paper with its lower right corner curling towards the viewer.
TMesh Page() {
    constexpr double halfW = 8.0, halfH = 10.5;
    constexpr int nx = 18, ny = 22;
    constexpr double curlStart = 4.2, curlRadius = 1.45, thickness = 0.05;
    auto shape = [&](double x, double y) {
        TVec3 p{x, y, 0};
        // A soft bow across the page and a gentle wave down it.
        p.z = -0.55 * (x / halfW) * (x / halfW) + 0.35 * std::sin(y / halfH * kPi * 0.8);
        // Roll the corner round a cylinder whose axis crosses the corner
        // diagonally.
        const double along = ((x - halfW) - (y + halfH)) / std::sqrt(2.0);
        const double s = along + curlStart;
        if (s > 0) {
            const double angle = s / curlRadius;
            const double back = curlRadius * std::sin(angle) - s;
            p.x += back / std::sqrt(2.0);
            p.y -= back / std::sqrt(2.0);
            p.z += curlRadius * (1 - std::cos(angle));
        }
        return p;
    };
    std::vector<TVec3> grid(size_t((nx + 1) * (ny + 1)));
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i)
            grid[size_t(j * (nx + 1) + i)] =
                shape(-halfW + 2 * halfW * i / nx, -halfH + 2 * halfH * j / ny);
    auto at = [&](int i, int j) {
        return grid[size_t(std::clamp(j, 0, ny) * (nx + 1) + std::clamp(i, 0, nx))];
    };

    TMesh page("SentenceObj");
    std::vector<int> front, back;
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i) {
            const TVec3 du = at(i + 1, j) - at(i - 1, j);
            const TVec3 dv = at(i, j + 1) - at(i, j - 1);
            const TVec3 n = Normalized(Cross(du, dv));
            const TVec3 p = at(i, j);
            const double s = double(i) / nx, t = double(j) / ny;
            // Front in the left half of the picture, back in the right half,
            // mirrored so that it reads the right way round from behind.
            front.push_back(page.AddVertex(p + n * thickness, n, 0.5 * s, t));
            back.push_back(page.AddVertex(p - n * thickness, n * -1.0, 0.5 + 0.5 * (1 - s), t));
        }
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const int a = j * (nx + 1) + i, b = a + 1, c = a + nx + 2, d = a + nx + 1;
            page.AddQuad("SentenceMat", front[size_t(a)], front[size_t(b)], front[size_t(c)],
                         front[size_t(d)]);
            page.AddQuad("SentenceMat", back[size_t(a)], back[size_t(d)], back[size_t(c)],
                         back[size_t(b)]);
        }
    page.Apply(Float(kSentenceSlot).After(TTransform::RotateY(-14)).After(TTransform::RotateX(-6)));
    return page;
}

// Texture coordinates of the solid swatches at the corners of the clock's
// picture: red body, chrome bells, dark hands and gold trim.
constexpr double kSwatch = 0.03;
void Swatch(int which, double& u, double& v) {
    u = which % 2 == 0 ? kSwatch : 1 - kSwatch;
    v = which < 2 ? 1 - kSwatch : kSwatch;
}
enum { kRedSwatch = 0, kChromeSwatch = 1, kDarkSwatch = 2, kGoldSwatch = 3 };
constexpr double kClockTextureRadius = 9.0;

// An alarm clock: a round red case with a domed rim round the dial, two bells
// with a hammer on top, feet, and raised hands at ten past ten.
TMesh Clock() {
    constexpr double R = 8.4;
    TMesh clock("ClockGameObj");

    std::vector<TProfilePoint> profile;
    profile.push_back({0, -1.7});
    profile.push_back({R - 0.7, -1.7, true});
    for (int k = 1; k <= 4; ++k) {
        const double a = kPi / 2 * k / 4;
        profile.push_back({R - 0.7 + 0.7 * std::sin(a), -1.0 - 0.7 * std::cos(a)});
    }
    // The rim's dome: a half round from the top of the outer wall over to
    // the dial, which lies a little lower.
    for (int k = 0; k <= 8; ++k) {
        const double a = kPi * k / 8;
        TProfilePoint point{R - 0.6 + 0.6 * std::cos(a), 0.5 + 0.75 * std::sin(a)};
        point.seam = k == 0;
        point.crease = k == 8;
        profile.push_back(point);
    }
    profile.push_back({R - 1.2, 0.35, true});
    profile.push_back({0, 0.35});
    TMesh body = Lathe("ClockMat", profile, 56, [](int run, TVec3 p, TVec3, double& u, double& v) {
        if (run < 2) {
            Swatch(kRedSwatch, u, v);
            return;
        }
        u = 0.5 + p.x / (2 * kClockTextureRadius);
        v = 0.5 + p.y / (2 * kClockTextureRadius);
    });
    clock.Append(body);

    auto solid = [](int which) {
        return [which](int, int, TVec3, TVec3, double& u, double& v) { Swatch(which, u, v); };
    };
    // Hands: hour hand towards ten, minute hand towards two.
    auto hand = [&](double length, double width, double angle, double z) {
        TMesh h =
            RoundedBox("ClockMat", {length / 2, width / 2, 0.12}, 0.11, 1, solid(kDarkSwatch));
        h.Apply(TTransform::RotateZ(angle).After(TTransform::Translate({length / 2 - 0.8, 0, z})));
        clock.Append(h);
    };
    hand(5.2, 0.75, 150, 0.75);
    hand(7.4, 0.5, 30, 1.0);
    TMesh cap = Sphere("ClockMat", 0.55, 12, 6);
    for (auto& vertex : cap.Vertices)
        Swatch(kGoldSwatch, vertex.u, vertex.v);
    cap.Apply(TTransform::Translate({0, 0, 1.15}).After(TTransform::Scale(1, 1, 0.5)));
    clock.Append(cap);

    // Bells: domes tilted outwards, each with a knob.
    for (int side = -1; side <= 1; side += 2) {
        std::vector<TProfilePoint> dome;
        dome.push_back({0, 0});
        dome.push_back({2.6, 0, true});
        for (int k = 1; k <= 8; ++k) {
            const double a = kPi / 2 * k / 8;
            dome.push_back({2.6 * std::cos(a), 2.1 * std::sin(a)});
        }
        TMesh bell = Lathe("ClockMat", dome, 28, [](int, TVec3, TVec3, double& u, double& v) {
            Swatch(kChromeSwatch, u, v);
        });
        TMesh knob = Sphere("ClockMat", 0.45, 10, 6);
        for (auto& vertex : knob.Vertices)
            Swatch(kChromeSwatch, vertex.u, vertex.v);
        knob.Apply(TTransform::Translate({0, 0, 2.2}));
        bell.Append(knob);
        // Lathe axis is z; stand the dome up (axis to y), then lean it out.
        bell.Apply(TTransform::Translate({side * 5.2, R + 0.4, -0.6})
                       .After(TTransform::RotateZ(-side * 38))
                       .After(TTransform::RotateX(-90)));
        clock.Append(bell);

        // Feet.
        TMesh foot = Sphere("ClockMat", 1.0, 12, 8);
        for (auto& vertex : foot.Vertices)
            Swatch(kDarkSwatch, vertex.u, vertex.v);
        foot.Apply(TTransform::Translate({side * 5.4, -R + 0.3, -0.6})
                       .After(TTransform::Scale(1, 0.8, 1)));
        clock.Append(foot);
    }
    // The back: a chrome plate with the winding key sticking out.
    std::vector<TProfilePoint> plate;
    plate.push_back({0, 0});
    plate.push_back({4.2, 0, true});
    plate.push_back({4.5, 0.25});
    plate.push_back({4.2, 0.5, true});
    plate.push_back({0, 0.5});
    TMesh backPlate = Lathe("ClockMat", plate, 40, [](int, TVec3, TVec3, double& u, double& v) {
        Swatch(kChromeSwatch, u, v);
    });
    backPlate.Apply(TTransform::Translate({0, 0, -1.65}).After(TTransform::RotateY(180)));
    clock.Append(backPlate);
    TMesh shaft = RoundedBox("ClockMat", {0.3, 0.3, 0.9}, 0.12, 1, solid(kGoldSwatch));
    shaft.Apply(TTransform::Translate({0, 1.5, -2.9}));
    clock.Append(shaft);
    TMesh wings = RoundedBox("ClockMat", {2.2, 1.0, 0.18}, 0.16, 2, solid(kGoldSwatch));
    wings.Apply(TTransform::Translate({0, 1.5, -3.8}));
    clock.Append(wings);

    // The hammer between the bells.
    TMesh stem = RoundedBox("ClockMat", {0.22, 1.4, 0.22}, 0.1, 1, solid(kChromeSwatch));
    stem.Apply(TTransform::Translate({0, R + 1.1, -0.6}));
    clock.Append(stem);
    TMesh head = Sphere("ClockMat", 0.55, 10, 6);
    for (auto& vertex : head.Vertices)
        Swatch(kChromeSwatch, vertex.u, vertex.v);
    head.Apply(TTransform::Translate({0, R + 2.6, -0.6}));
    clock.Append(head);

    // Centred on the case, bells and feet included.
    clock.Apply(Float(kClockSlot)
                    .After(TTransform::RotateY(-12))
                    .After(TTransform::Translate({0, -1.35, 0})));
    return clock;
}

TMesh Earth(const char* name, const char* material, double radius) {
    TMesh sphere = Sphere(material, radius, 48, 24);
    sphere.Name = name;
    sphere.Apply(Float(kEarthSlot).After(TTransform::RotateZ(23.4)));
    return sphere;
}

// A block with rounded edges and the same label on each of its four sides,
// every one reading the right way round from outside: however far the block
// has turned, one side faces the viewer within 45 degrees. The label lies in
// the picture between heights `faceV0` and `faceV1`, the top and bottom in
// the rest (`capV0` to `capV1`); the rounded edges take the colour at the
// rim of the label, its frame.
TMesh LabelBlock(const char* name, const char* material, TVec3 h, double r, double faceV0,
                 double faceV1, double capV0, double capV1) {
    TMesh block = RoundedBox(
        material, h, r, 3, [=](int axis, int sign, TVec3 p, TVec3, double& u, double& v) {
            constexpr double rim = 0.004;
            if (axis == 1) {
                u = std::clamp((p.x + h.x) / (2 * h.x), rim, 1 - rim);
                const double t = std::clamp((p.z + h.z) / (2 * h.z), rim, 1 - rim);
                v = capV0 + (capV1 - capV0) * t;
                return;
            }
            // Across the side from the left to the right of someone facing it.
            double s = 0;
            if (axis == 2)
                s = sign > 0 ? (p.x + h.x) / (2 * h.x) : (h.x - p.x) / (2 * h.x);
            else
                s = sign > 0 ? (h.z - p.z) / (2 * h.z) : (p.z + h.z) / (2 * h.z);
            const double t = (p.y + h.y) / (2 * h.y);
            u = std::clamp(s, rim, 1 - rim);
            v = faceV0 + (faceV1 - faceV0) * std::clamp(t, rim, 1 - rim);
        });
    block.Name = name;
    return block;
}

// The About sign: a square column, its label in the picture's upper half and
// the plain top in the lower half.
TMesh AboutSign() {
    TMesh sign =
        LabelBlock("AboutObj", "AboutMat", {kAboutHalfWidth, kAboutHalfHeight, kAboutHalfWidth},
                   0.6, 0.5, 1.0, 0.0, 0.5);
    sign.Apply(Float(kAboutSlot).After(TTransform::RotateY(-20)));
    return sign;
}

// The help sign: a cube with the question mark on all six faces.
TMesh HelpSign() {
    TMesh sign = LabelBlock("HelpObj", "HelpMat", {kHelpHalfSize, kHelpHalfSize, kHelpHalfSize},
                            0.9, 0.0, 1.0, 0.0, 1.0);
    sign.Apply(Float(kHelpSlot).After(TTransform::RotateY(-25)).After(TTransform::RotateX(12)));
    return sign;
}

} // namespace

std::vector<TMesh> BuildMenuModel() {
    std::vector<TMesh> meshes;
    meshes.push_back(Keyboard());
    meshes.push_back(Page());
    meshes.push_back(Clock());
    meshes.push_back(Earth("LandSphereObj", "LandMat", 8.4));
    meshes.push_back(Earth("CloudSphereObj", "CloudMat", 8.9));
    meshes.push_back(AboutSign());
    meshes.push_back(HelpSign());

    // The banner, the sky, the rain sheet and the lightning bolt are flat.
    TMesh banner = Rectangle("ADMat", -118, 44, -38, 66, 20, 0, 0, 1, 1);
    banner.Name = "ADPlane";
    meshes.push_back(banner);
    // One picture over the whole sky: repeated, its clouds would show the
    // pattern.
    TMesh sky = Rectangle("BackMat", -100, -60, 100, 60, -kObjectZ, 0, 0, 1, 1);
    sky.Name = "BackPlane";
    meshes.push_back(sky);
    TMesh rain = Rectangle("RainMat", -150, -95, -40, 85, 0, 0, 0, 2, 1.6);
    rain.Name = "RainPlane";
    meshes.push_back(rain);
    // The menu draws the bolt offset by the rain sheet's placement, two
    // sheet widths and its own jitter; this puts the bolts over the left
    // and middle of the sky.
    TMesh bolt = Rectangle("ThunderMat", -357, -30, -327, 95, 0, 0, 0, 1, 1);
    bolt.Name = "ThunderPlane";
    meshes.push_back(bolt);
    return meshes;
}

std::string MenuMaterials() {
    struct TMaterial {
        const char* name;
        const char* map;
        double specular;
    };
    const TMaterial materials[] = {
        {"KeyboardMat", "KeyboardBtn1.png", 0.35}, {"SentenceMat", "SentenceBtn1.png", 0.12},
        {"ClockMat", "ClockGameBtn1.png", 0.55},   {"LandMat", "Earth_Land.png", 0.3},
        {"CloudMat", "Earth_Clouds.png", 0.05},    {"AboutMat", "AboutSign.png", 0.3},
        {"HelpMat", "HelpSign.png", 0.3},          {"ADMat", "click_image.png", 0},
        {"BackMat", "white_cloud.png", 0},         {"RainMat", "rain1.png", 0},
        {"ThunderMat", "ThunderImage.png", 0},
    };
    std::string text = "# Materials of the Ravlin main menu.\n";
    char line[128];
    for (const TMaterial& m : materials) {
        text += std::string("\nnewmtl ") + m.name + "\n";
        text += "Ka 1.0000 1.0000 1.0000\nKd 1.0000 1.0000 1.0000\n";
        std::snprintf(line, sizeof line, "Ks %.4f %.4f %.4f\n", m.specular, m.specular, m.specular);
        text += line;
        text += "Tr 0.0000\nillum 2\n";
        text += std::string("map_Kd maps/") + m.map + "\n";
    }
    return text;
}
