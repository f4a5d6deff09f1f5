#pragma once

#include <vector>

// A coarse hand-drawn atlas of the Earth, in degrees (longitude east,
// latitude north): coastlines of the land masses and larger islands, inland
// seas, and the regions that colour the land (deserts, rain forests, ice,
// mountain ranges). Longitudes past 180 continue eastwards across the date
// line. The painter roughens every outline with noise, so the points only
// need to follow the shapes a reader of a school atlas recognises.

struct TLonLat {
    double lon, lat;
};

using TOutline = std::vector<TLonLat>;

// Land: continents and islands.
const std::vector<TOutline>& LandOutlines();
// Water inside the land outlines (the Black and Caspian Seas, great lakes).
const std::vector<TOutline>& InlandWaters();
// Land under permanent ice (Greenland, Antarctica).
const std::vector<TOutline>& IceRegions();
// Hot and dry land.
const std::vector<TOutline>& DesertRegions();
// Dense tropical forest.
const std::vector<TOutline>& RainForestRegions();
// High ranges and plateaus, as lines along their crests.
const std::vector<TOutline>& MountainRanges();
