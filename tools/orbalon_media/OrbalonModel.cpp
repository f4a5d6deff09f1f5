#include "OrbalonModel.h"

#include <cstdio>

namespace {

TMesh Named(TMesh mesh, const char* name) {
    mesh.Name = name;
    return mesh;
}

} // namespace

std::vector<TMesh> BuildGameModel() {
    std::vector<TMesh> meshes;
    meshes.push_back(
        Named(Rectangle("back_mat", -100, -100, 100, 100, -120, 0, 0, 1, 1), "BackPlane"));
    meshes.push_back(Named(Sphere("Land_Mat", 50, 96, 48), "LandSphere"));
    meshes.push_back(Named(Sphere("Cloud_Mat", 51.5, 96, 48), "CloudSphere"));
    meshes.push_back(Named(Sphere("Planet_Mat", 6, 40, 20), "PlanetSphere"));
    // Particles are drawn by the hundred: a few facets are enough.
    meshes.push_back(Named(Sphere("Explosion_red_mat", 1.2, 10, 6), "Explosion_red"));
    meshes.push_back(Named(Sphere("Explosion_orange_mat", 1.2, 10, 6), "Explosion_orange"));
    return meshes;
}

std::string GameMaterials() {
    struct TMaterial {
        const char* name;
        const char* map; // nullptr: plain colour
        double kd[3];
        double specular;
        double tr;
    };
    const TMaterial materials[] = {
        // The game picks one of its backgrounds at every (re)load.
        {"back_mat", "galaxy1.png", {1, 1, 1}, 0, 0},
        {"Land_Mat", "SaveMeGame_Land.png", {1, 1, 1}, 0.25, 0},
        {"Cloud_Mat", "SaveMeGame_Clouds.png", {1, 1, 1}, 0.05, 0},
        {"Planet_Mat", "SaveMeGame_Moon.png", {1, 1, 1}, 0.08, 0},
        // Strong highlights make the see-through particles sparkle.
        {"Explosion_red_mat", nullptr, {1.0, 0.28, 0.1}, 0.9, 0.25},
        {"Explosion_orange_mat", nullptr, {1.0, 0.62, 0.12}, 0.9, 0.25},
    };
    std::string text = "# Materials of the Orbalon game.\n";
    char line[160];
    for (const TMaterial& m : materials) {
        text += std::string("\nnewmtl ") + m.name + "\n";
        std::snprintf(line, sizeof line, "Ka %.4f %.4f %.4f\n", m.kd[0], m.kd[1], m.kd[2]);
        text += line;
        std::snprintf(line, sizeof line, "Kd %.4f %.4f %.4f\n", m.kd[0], m.kd[1], m.kd[2]);
        text += line;
        std::snprintf(line, sizeof line, "Ks %.4f %.4f %.4f\n", m.specular, m.specular, m.specular);
        text += line;
        std::snprintf(line, sizeof line, "Tr %.4f\nillum 2\n", m.tr);
        text += line;
        if (m.map)
            text += std::string("map_Kd maps/") + m.map + "\n";
    }
    return text;
}
