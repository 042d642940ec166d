#pragma once
// Similar aircraft types: the data base's lists of related types, and per airline the related types that
// airline has liveries for. Both need the livery data base, which lives in a higher subsystem and is
// reached through the view below.
#include <string>
#include <string_view>
#include <vector>

namespace kvr {

// What the similar-type tables need to know of the installed liveries. The livery data base implements it
// and installs itself (gf_installLiveryIndexView) before it calls gf_buildSimilarTypes.
class LiveryIndexView {
public:
    virtual ~LiveryIndexView() = default;
    // Every airline with liveries (gf_airlineCodes).
    virtual std::vector<std::string> airlineCodes() const = 0;
    // Whether the airline has a livery, pax or cargo, of the model (gf_liveryExists).
    virtual bool liveryExists(const std::string& airline, const std::string& model) const = 0;
    // A random installed model of category 0, 1 or 5; empty when there is none
    // (gf_randomLightAircraftLivery, gf_randomBuzjetLivery, gf_randomHelicopterLivery).
    virtual std::string randomLightAircraftLivery() const = 0;
    virtual std::string randomBuzjetLivery() const = 0;
    virtual std::string randomHelicopterLivery() const = 0;
};

// The view must stay alive until it is replaced; nullptr removes it (no liveries known).
void gf_installLiveryIndexView(const LiveryIndexView* view);

// Rebuilds the per-airline table: for each airline of the view and each data-base type that has a similar
// list and of which the airline has no livery, the similar types the airline does have liveries of.
// Logs "{} similar model definitions". Runs on the run thread; later lookups run on the same thread.
void gf_buildSimilarTypes();

// A shuffled copy of the type's similar types. A type without a list gets a random installed model of its
// category for categories 0, 1 and 5 (nothing when none is installed) and nothing for the others.
std::vector<std::string> gf_getSimilarTypes(std::string_view type);

// The similar types gf_buildSimilarTypes recorded for the airline and model, shuffled; empty when either
// is not recorded.
std::vector<std::string> gf_lookupTwoLevelList(std::string_view airline, std::string_view model);

} // namespace kvr
