#pragma once
// The build steps of the livery data base, for tests.
#include "liveries/livery_database.h"
#include "refdata/aircraft_dbase.h"

#include <string>
#include <vector>

namespace kvr {

void lf_buildLiveryMaps();
void lf_buildModelMaps();
void lf_buildAirlineModelIndex();
void lf_logCategorySummary(AircraftCategory category);
void lf_logCategoryList(bool light, bool buzjet, bool rotorcraft, const std::vector<std::string>& models);
void lf_logGenericLiveries();

} // namespace kvr
