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
    keyboard.Apply(TTransform::Translate({0, kKeyboardY, kKeyboardZ})
                       .After(TTransform::RotateY(-8))
                       .After(TTransform::RotateX(kKeyboardTilt))
                       .After(TTransform::Scale(kKeyboardScale, kKeyboardScale, kKeyboardScale)));
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
    page.Apply(TTransform::Translate({0, kSentenceY, kObjectZ})
                   .After(TTransform::RotateY(-14))
                   .After(TTransform::RotateX(-6)));
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

    clock.Apply(TTransform::Translate({0, kClockY, kObjectZ}).After(TTransform::RotateY(-12)));
    return clock;
}

TMesh Earth(const char* name, const char* material, double radius) {
    TMesh sphere = Sphere(material, radius, 48, 24);
    sphere.Name = name;
    sphere.Apply(TTransform::Translate({0, kEarthY, kObjectZ}).After(TTransform::RotateZ(23.4)));
    return sphere;
}

// A board with rounded edges: the picture's upper half on the front, its
// lower half on the back (mirrored so it reads from behind); the edges take
// the frame colour at the picture's border.
TMesh Sign(const char* name, const char* material, double halfW, double halfH, double y) {
    TMesh sign =
        RoundedBox(material, {halfW, halfH, 0.65}, 0.6, 3,
                   [=](int axis, int sign, TVec3 p, TVec3, double& u, double& v) {
                       const double s = (p.x + halfW) / (2 * halfW);
                       const double t = (p.y + halfH) / (2 * halfH);
                       const bool back = axis == 2 ? sign < 0 : p.z < 0;
                       u = back ? 1 - s : s;
                       v = back ? 0.5 * t : 0.5 + 0.5 * t;
                       if (axis != 2) {
                           // Edges: the frame at the picture's rim.
                           u = std::clamp(u, 0.004, 0.996);
                           v = back ? std::clamp(v, 0.004, 0.496) : std::clamp(v, 0.504, 0.996);
                       }
                   });
    sign.Name = name;
    sign.Apply(TTransform::Translate({0, y, kObjectZ}).After(TTransform::RotateY(-10)));
    return sign;
}

// A round sign: a thick disc with a rounded rim, the picture on both faces.
TMesh HelpDisc() {
    constexpr double R = 7.6, T = 0.8, E = 0.8;
    std::vector<TProfilePoint> profile;
    profile.push_back({0, -T});
    TProfilePoint edge{R - E, -T};
    edge.seam = true;
    profile.push_back(edge);
    for (int k = 1; k <= 8; ++k) {
        const double a = kPi * k / 8;
        profile.push_back({R - E + E * std::sin(a), -T * std::cos(a)});
    }
    profile.back().seam = true;
    profile.push_back({0, T});
    TMesh disc = Lathe("HelpMat", profile, 56, [=](int run, TVec3 p, TVec3, double& u, double& v) {
        const double s = 0.5 + p.x / (2 * R), t = 0.5 + p.y / (2 * R);
        // The back reads mirrored; the rim takes the ring at the picture's
        // edge as it is.
        u = run == 0 ? 1 - s : s;
        v = t;
    });
    disc.Name = "HelpObj";
    disc.Apply(TTransform::Translate({0, kHelpY, kObjectZ}).After(TTransform::RotateY(-10)));
    return disc;
}

} // namespace

std::vector<TMesh> BuildMenuModel() {
    std::vector<TMesh> meshes;
    meshes.push_back(Keyboard());
    meshes.push_back(Page());
    meshes.push_back(Clock());
    meshes.push_back(Earth("LandSphereObj", "LandMat", 8.4));
    meshes.push_back(Earth("CloudSphereObj", "CloudMat", 8.9));
    meshes.push_back(Sign("AboutObj", "AboutMat", 10.5, 4.6, kAboutY));
    meshes.push_back(HelpDisc());

    // The banner, the sky, the rain sheet and the lightning bolt are flat.
    TMesh banner = Rectangle("ADMat", -118, 44, -38, 66, 20, 0, 0, 1, 1);
    banner.Name = "ADPlane";
    meshes.push_back(banner);
    TMesh sky = Rectangle("BackMat", -100, -60, 100, 60, -kObjectZ, 0, 0, 3, 2.4);
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
