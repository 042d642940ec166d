#include "settings/parameter.h"

#include "core/text_util.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace kvr {

std::vector<Parameter*>& gf_allParameters() {
    static std::vector<Parameter*> registry;
    return registry;
}

std::vector<WindowControl*>& gf_allControls() {
    static std::vector<WindowControl*> registry;
    return registry;
}

Parameter* gf_findParameter(std::string_view name) {
    for (Parameter* p : gf_allParameters())
        if (p->name() == name)
            return p;
    return nullptr;
}

WindowControl* gf_findControl(std::uint16_t controlId) {
    for (WindowControl* c : gf_allControls())
        if (c->controlId == controlId)
            return c;
    return nullptr;
}

Parameter::Parameter(std::string name, Persistence persistence) : name_(std::move(name)), persistence_(persistence) {
    gf_allParameters().push_back(this);
}

// ---- NumParameter

NumParameter::NumParameter(std::string name, std::int32_t defaultValue, std::int32_t minimum, std::int32_t maximum,
                           Persistence persistence)
    : Parameter(std::move(name), persistence), default_(defaultValue), minimum_(minimum), maximum_(maximum),
      value_(defaultValue) {}

std::int32_t NumParameter::setClamped(std::int64_t v) {
    const auto clamped = static_cast<std::int32_t>(std::clamp<std::int64_t>(v, minimum_, maximum_));
    setValue(clamped);
    return clamped;
}

std::string NumParameter::valueText() const { return std::to_string(value()); }
std::string NumParameter::defaultText() const { return std::to_string(default_); }

ParseOutcome NumParameter::setFromText(std::string_view text) {
    const std::string trimmed = gf_trim(text);
    text = trimmed;
    std::int64_t parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return ParseOutcome::invalid;
    return setClamped(parsed) == parsed ? ParseOutcome::taken : ParseOutcome::clamped;
}

// ---- FloatParameter

FloatParameter::FloatParameter(std::string name, float defaultValue, float minimum, float maximum,
                               Persistence persistence)
    : Parameter(std::move(name), persistence), default_(defaultValue), minimum_(minimum), maximum_(maximum),
      value_(defaultValue) {}

std::string FloatParameter::valueText() const { return fmt::format("{}", value()); }
std::string FloatParameter::defaultText() const { return fmt::format("{}", default_); }

ParseOutcome FloatParameter::setFromText(std::string_view text) {
    const std::string trimmed = gf_trim(text);
    text = trimmed;
    float parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed))
        return ParseOutcome::invalid;
    const float clamped = std::clamp(parsed, minimum_, maximum_);
    setValue(clamped);
    return clamped == parsed ? ParseOutcome::taken : ParseOutcome::clamped;
}

// ---- BoolParameter

BoolParameter::BoolParameter(std::string name, bool defaultValue, Persistence persistence)
    : Parameter(std::move(name), persistence), default_(defaultValue), value_(defaultValue) {}

ParseOutcome BoolParameter::setFromText(std::string_view text) {
    // The same texts pugixml's as_bool takes: the first character decides.
    const std::string trimmed = gf_trim(text);
    text = trimmed;
    if (text.empty())
        return ParseOutcome::invalid;
    const char c = text.front();
    if (std::strchr("1tTyY", c)) {
        setValue(true);
        return ParseOutcome::taken;
    }
    if (std::strchr("0fFnN", c)) {
        setValue(false);
        return ParseOutcome::taken;
    }
    return ParseOutcome::invalid;
}

// ---- StringParameter

StringParameter::StringParameter(std::string name, std::string defaultValue, Persistence persistence)
    : Parameter(std::move(name), persistence), default_(defaultValue), value_(std::move(defaultValue)) {}

std::string StringParameter::value() const {
    std::lock_guard lock(mutex_);
    return value_;
}

void StringParameter::setValue(std::string v) {
    std::lock_guard lock(mutex_);
    value_ = std::move(v);
}

bool StringParameter::empty() const {
    std::lock_guard lock(mutex_);
    return value_.empty();
}

ParseOutcome StringParameter::setFromText(std::string_view text) {
    setValue(std::string(text));
    return ParseOutcome::taken;
}

// ---- controls

CheckBoxParameter::CheckBoxParameter(std::string name, bool defaultValue, std::uint16_t id, std::int32_t y)
    : BoolParameter(std::move(name), defaultValue), WindowControl(id, y) {
    gf_allControls().push_back(this);
}

NumComboParameter::NumComboParameter(std::string name, std::int32_t defaultValue, std::int32_t minimum,
                                     std::int32_t maximum, std::vector<std::int32_t> choices, std::uint16_t id,
                                     std::int32_t y, Persistence persistence)
    : NumParameter(std::move(name), defaultValue, minimum, maximum, persistence), WindowControl(id, y),
      choices_(std::move(choices)) {
    gf_allControls().push_back(this);
}

std::optional<int> NumComboParameter::choiceIndexOf(std::int32_t v) const {
    const auto it = std::find(choices_.begin(), choices_.end(), v);
    if (it == choices_.end())
        return std::nullopt;
    return static_cast<int>(it - choices_.begin());
}

FloatComboParameter::FloatComboParameter(std::string name, float defaultValue, std::vector<float> choices,
                                         std::uint16_t id, std::int32_t y, Persistence persistence)
    : FloatParameter(std::move(name), defaultValue, *std::min_element(choices.begin(), choices.end()),
                     *std::max_element(choices.begin(), choices.end()), persistence),
      WindowControl(id, y), choices_(std::move(choices)) {
    gf_allControls().push_back(this);
}

std::optional<int> FloatComboParameter::choiceIndexOf(float v) const {
    for (std::size_t i = 0; i < choices_.size(); ++i)
        if (std::fabs(choices_[i] - v) < 1e-4f)
            return static_cast<int>(i);
    return std::nullopt;
}

StringComboParameter::StringComboParameter(std::string name, std::string defaultValue,
                                           std::vector<std::string> choices, std::uint16_t id, std::int32_t y,
                                           Persistence persistence)
    : StringParameter(std::move(name), std::move(defaultValue), persistence), WindowControl(id, y),
      choices_(std::move(choices)) {
    gf_allControls().push_back(this);
}

std::vector<std::string> StringComboParameter::choices() const {
    std::lock_guard lock(choicesMutex_);
    return choices_;
}

void StringComboParameter::setChoices(std::vector<std::string> choices) {
    std::lock_guard lock(choicesMutex_);
    choices_ = std::move(choices);
}

std::optional<int> StringComboParameter::choiceIndexOf(std::string_view v) const {
    std::lock_guard lock(choicesMutex_);
    const auto it = std::find(choices_.begin(), choices_.end(), v);
    if (it == choices_.end())
        return std::nullopt;
    return static_cast<int>(it - choices_.begin());
}

ControlStringParameter::ControlStringParameter(std::string name, std::string defaultValue, std::uint16_t id,
                                               std::int32_t y)
    : StringParameter(std::move(name), std::move(defaultValue)), WindowControl(id, y) {
    gf_allControls().push_back(this);
}

ButtonControl::ButtonControl(std::string name, std::uint16_t id, std::int32_t y)
    : WindowControl(id, y), name_(std::move(name)) {
    gf_allControls().push_back(this);
}

} // namespace kvr
