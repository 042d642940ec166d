#pragma once
// The lookups of the livery matchers, for tests.
#include "liveries/livery_matching.h"

#include <string_view>
#include <vector>

namespace kvr {

void lf_pickLivery(MatchSubject& record, const std::vector<TitleView>& candidates);
bool lf_matchRegcode(MatchSubject& record);
bool lf_matchAirlineModel(MatchSubject& record, std::string_view airline, std::string_view model,
                          int cargoIndex);
bool lf_matchAirlineModelAnyLoad(MatchSubject& record, std::string_view airline, std::string_view model);
bool lf_matchGenericModel(MatchSubject& record, std::string_view model);
bool lf_matchAlternativeModels(MatchSubject& record, std::string_view airline, std::string_view model);
bool lf_acceptLiveryMatch(MatchSubject& record, int step);
void lf_matchLastResort(MatchSubject& record, int& step);

} // namespace kvr
