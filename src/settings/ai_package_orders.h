#pragma once
#include <string>
#include <vector>

namespace kvr {

// Every ordering of every non-empty subset of the AI packages AIG, FSLTL, JF, MTL: 64 entries, grouped
// by subset size (largest first), subsets in lexicographic order of their members, orderings of one
// subset in permutation order. Index 0 is the default "AIG, FSLTL, JF, MTL".
struct AiPackageOrder {
    std::string choiceText;             // "AIG, FSLTL, JF, MTL"
    std::vector<std::string> packages;  // {"AIG", "FSLTL", "JF", "MTL"}
};

const std::vector<AiPackageOrder>& aiPackageOrders();
std::vector<std::string> gf_aiPackageChoiceTexts();

} // namespace kvr
