#pragma once

#include "core/vocabulary.h"

#include <array>
#include <functional>

namespace kvx {

// Which window belongs to which mode: the one that prepares a change to it, and the one that holds its
// settings. Each settings window's own code registers it here.
class ModeWindowDispatch {
public:
    // Runs modally; true when the operator ended it with OK.
    using Preparation = std::function<bool()>;
    using SettingsWindow = std::function<void()>;

    void setPreparation(int mode, Preparation window) {
        m_preparations.at(static_cast<std::size_t>(mode)) = std::move(window);
    }
    void setSettingsWindow(int mode, SettingsWindow window) {
        m_settings.at(static_cast<std::size_t>(mode)) = std::move(window);
    }

    // True when the change may go ahead: the mode needs no preparation, or its window ended with OK.
    bool prepare(int mode) const {
        const Preparation* window = find(m_preparations, mode);
        return !window || (*window)();
    }
    // False when the mode has no settings window of its own.
    bool openSettings(int mode) const {
        const SettingsWindow* window = find(m_settings, mode);
        if (!window)
            return false;
        (*window)();
        return true;
    }

private:
    template <class T> static const T* find(const std::array<T, kModeCount>& table, int mode) {
        if (mode < 0 || mode >= kModeCount || !table[static_cast<std::size_t>(mode)])
            return nullptr;
        return &table[static_cast<std::size_t>(mode)];
    }

    std::array<Preparation, kModeCount> m_preparations;
    std::array<SettingsWindow, kModeCount> m_settings;
};

} // namespace kvx
