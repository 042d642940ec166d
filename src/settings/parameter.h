#pragma once
#include "platform/win32/win32_types.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvr {

// The part of a setting that is bound to a control of the main window.
struct WindowControl {
    WindowControl(std::uint16_t id, std::int32_t y) : controlId(id), rowY(y) {}
    virtual ~WindowControl() = default;

    std::uint16_t controlId;
    std::int32_t rowY;
    std::atomic<HWND> windowHandle{nullptr};  // filled when the control is created
    WNDPROC previousWindowProc = nullptr;     // edit boxes: the procedure the subclass replaced
};

enum class Persistence { saved, notSaved };

// How a text from parameters.xml was taken.
enum class ParseOutcome { taken, clamped, invalid };

// One setting: a global object with a name, a default and a current value.
class Parameter {
public:
    Parameter(std::string name, Persistence persistence);
    virtual ~Parameter() = default;
    Parameter(const Parameter&) = delete;
    Parameter& operator=(const Parameter&) = delete;

    const std::string& name() const { return name_; }
    bool isSaved() const { return persistence_ == Persistence::saved; }

    virtual std::string valueText() const = 0;
    virtual std::string defaultText() const = 0;
    virtual ParseOutcome setFromText(std::string_view text) = 0;
    virtual void resetToDefault() = 0;
    virtual WindowControl* control() { return nullptr; }

private:
    std::string name_;
    Persistence persistence_;
};

class NumParameter : public Parameter {
public:
    NumParameter(std::string name, std::int32_t defaultValue, std::int32_t minimum, std::int32_t maximum,
                 Persistence persistence = Persistence::saved);

    std::int32_t value() const { return value_.load(); }
    void setValue(std::int32_t v) { value_.store(v); }
    // Stores v clamped to [minimum, maximum] and returns what was stored.
    std::int32_t setClamped(std::int64_t v);
    std::int32_t defaultValue() const { return default_; }
    std::int32_t minimum() const { return minimum_; }
    std::int32_t maximum() const { return maximum_; }

    std::string valueText() const override;
    std::string defaultText() const override;
    ParseOutcome setFromText(std::string_view text) override;
    void resetToDefault() override { setValue(default_); }

private:
    std::int32_t default_, minimum_, maximum_;
    std::atomic<std::int32_t> value_;
};

class FloatParameter : public Parameter {
public:
    FloatParameter(std::string name, float defaultValue, float minimum, float maximum,
                   Persistence persistence = Persistence::saved);

    float value() const { return value_.load(); }
    void setValue(float v) { value_.store(v); }
    float defaultValue() const { return default_; }
    float minimum() const { return minimum_; }
    float maximum() const { return maximum_; }

    std::string valueText() const override;
    std::string defaultText() const override;
    ParseOutcome setFromText(std::string_view text) override;
    void resetToDefault() override { setValue(default_); }

private:
    float default_, minimum_, maximum_;
    std::atomic<float> value_;
};

class BoolParameter : public Parameter {
public:
    BoolParameter(std::string name, bool defaultValue, Persistence persistence = Persistence::saved);

    bool value() const { return value_.load(); }
    void setValue(bool v) { value_.store(v); }
    bool defaultValue() const { return default_; }

    std::string valueText() const override { return value() ? "true" : "false"; }
    std::string defaultText() const override { return default_ ? "true" : "false"; }
    ParseOutcome setFromText(std::string_view text) override;
    void resetToDefault() override { setValue(default_); }

private:
    bool default_;
    std::atomic<bool> value_;
};

// String settings are read by several threads: value() hands out a copy taken under the lock.
class StringParameter : public Parameter {
public:
    StringParameter(std::string name, std::string defaultValue, Persistence persistence = Persistence::saved);

    std::string value() const;
    void setValue(std::string v);
    bool empty() const;
    const std::string& defaultValue() const { return default_; }

    std::string valueText() const override { return value(); }
    std::string defaultText() const override { return default_; }
    ParseOutcome setFromText(std::string_view text) override;
    void resetToDefault() override { setValue(default_); }

private:
    std::string default_;
    mutable std::mutex mutex_;
    std::string value_;
};

// A check box bound to a bool setting.
class CheckBoxParameter : public BoolParameter, public WindowControl {
public:
    CheckBoxParameter(std::string name, bool defaultValue, std::uint16_t id, std::int32_t y);
    WindowControl* control() override { return this; }
};

// A drop-down list bound to an int setting; its choices are the values it offers.
class NumComboParameter : public NumParameter, public WindowControl {
public:
    NumComboParameter(std::string name, std::int32_t defaultValue, std::int32_t minimum, std::int32_t maximum,
                      std::vector<std::int32_t> choices, std::uint16_t id, std::int32_t y,
                      Persistence persistence = Persistence::saved);
    WindowControl* control() override { return this; }
    const std::vector<std::int32_t>& choices() const { return choices_; }
    std::optional<int> choiceIndexOf(std::int32_t v) const;

private:
    std::vector<std::int32_t> choices_;
};

class FloatComboParameter : public FloatParameter, public WindowControl {
public:
    FloatComboParameter(std::string name, float defaultValue, std::vector<float> choices, std::uint16_t id,
                        std::int32_t y, Persistence persistence = Persistence::saved);
    WindowControl* control() override { return this; }
    const std::vector<float>& choices() const { return choices_; }
    std::optional<int> choiceIndexOf(float v) const;

private:
    std::vector<float> choices_;
};

// A drop-down list of texts. A shared list (CALLSIGN_2_OBJECTID) is refilled at run time.
class StringComboParameter : public StringParameter, public WindowControl {
public:
    StringComboParameter(std::string name, std::string defaultValue, std::vector<std::string> choices,
                         std::uint16_t id, std::int32_t y, Persistence persistence = Persistence::saved);
    WindowControl* control() override { return this; }
    std::vector<std::string> choices() const;
    void setChoices(std::vector<std::string> choices);
    std::optional<int> choiceIndexOf(std::string_view v) const;

private:
    mutable std::mutex choicesMutex_;
    std::vector<std::string> choices_;
};

// A string setting bound to an edit box of the main window.
class ControlStringParameter : public StringParameter, public WindowControl {
public:
    ControlStringParameter(std::string name, std::string defaultValue, std::uint16_t id, std::int32_t y);
    WindowControl* control() override { return this; }
};

// A named push button; its name is its caption. It has no value and is never saved.
class ButtonControl : public WindowControl {
public:
    ButtonControl(std::string name, std::uint16_t id, std::int32_t y);
    const std::string& name() const { return name_; }

private:
    std::string name_;
};

// The registries: every setting object registers itself here when it is constructed.
std::vector<Parameter*>& gf_allParameters();
std::vector<WindowControl*>& gf_allControls();  // settings with a control, and the buttons
Parameter* gf_findParameter(std::string_view name);
WindowControl* gf_findControl(std::uint16_t controlId);

} // namespace kvr
