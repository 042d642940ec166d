#include "settings/ai_package_orders.h"

#include <algorithm>

namespace kvr {

namespace {

std::vector<AiPackageOrder> lf_buildOrders() {
    static const std::vector<std::string> base{"AIG", "FSLTL", "JF", "MTL"};
    std::vector<AiPackageOrder> orders;
    for (int size = 4; size >= 1; --size) {
        // Subsets of this size in lexicographic order: walk the selection masks of the base order.
        std::vector<bool> chosen(base.size(), false);
        std::fill(chosen.begin(), chosen.begin() + size, true);
        do {
            std::vector<int> members;
            for (int i = 0; i < static_cast<int>(base.size()); ++i)
                if (chosen[i])
                    members.push_back(i);
            do {
                AiPackageOrder order;
                for (int index : members) {
                    if (!order.choiceText.empty())
                        order.choiceText += ", ";
                    order.choiceText += base[index];
                    order.packages.push_back(base[index]);
                }
                orders.push_back(std::move(order));
            } while (std::next_permutation(members.begin(), members.end()));
        } while (std::prev_permutation(chosen.begin(), chosen.end()));
    }
    return orders;
}

} // namespace

const std::vector<AiPackageOrder>& aiPackageOrders() {
    static const std::vector<AiPackageOrder> orders = lf_buildOrders();
    return orders;
}

std::vector<std::string> gf_aiPackageChoiceTexts() {
    std::vector<std::string> texts;
    for (const auto& order : aiPackageOrders())
        texts.push_back(order.choiceText);
    return texts;
}

} // namespace kvr
