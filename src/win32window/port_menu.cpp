// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "win32window/port_menu.h"

#include "win32/win32_text.h"
#include "win32window/wide_text.h"

namespace scanforms::win32 {
namespace {

// A menu entry shows an ampersand as itself, not as the mark of a shortcut.
std::wstring asEntryText(const std::wstring& text) {
    std::wstring escaped;
    for (const wchar_t c : text) {
        escaped += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
    }
    return escaped;
}

constexpr UINT kFirstEntryCommand = 1;

}  // namespace

std::vector<PortMenuEntry> portMenuEntries(const PortMenuSources& sources, std::int16_t port) {
    const std::string opens = sources.opens(port);
    const std::string byDefault = sources.opensByDefault(port);
    // A port that opens its default device checks the default entry, even
    // where the system lists that device: no map names it.
    const bool mappedByDefault = namesPort(opens, SerialPort{byDefault, {}});
    std::vector<PortMenuEntry> entries;
    bool opensFound = mappedByDefault;
    for (const SerialPort& found : sources.ports()) {
        std::wstring text = toWide(found.name);
        if (!found.friendlyName.empty()) {
            text += L"  (" + toWide(found.friendlyName) + L")";
        }
        const bool current = !mappedByDefault && namesPort(opens, found);
        opensFound = opensFound || current;
        entries.push_back({asEntryText(text), found.name, current});
    }
    if (!opensFound) {
        // Mapped to a port the system does not list now: unplugged, say.
        entries.push_back({asEntryText(toWide(opens)), opens, true});
    }
    entries.push_back(
        {asEntryText(L"Default (" + toWide(byDefault) + L")"), {}, mappedByDefault});
    return entries;
}

std::optional<std::string> showPortMenu(const PortMenuSources& sources, HWND owner,
                                        std::int16_t port, POINT at) {
    const std::vector<PortMenuEntry> entries = portMenuEntries(sources, port);
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i + 1 == entries.size()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        }
        const UINT flags = MF_STRING | (entries[i].checked ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuW(menu, flags, kFirstEntryCommand + i, entries[i].text.c_str());
    }
    // The owner must be the foreground window for the menu to close when the
    // operator clicks elsewhere.
    SetForegroundWindow(owner);
    const auto chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x,
                       at.y, 0, owner, nullptr));
    DestroyMenu(menu);
    if (chosen < kFirstEntryCommand || chosen - kFirstEntryCommand >= entries.size()) {
        return std::nullopt;
    }
    const PortMenuEntry& entry = entries[chosen - kFirstEntryCommand];
    if (const auto failure = sources.map(port, entry.device)) {
        return "Com" + std::to_string(port) + " was not changed: " + *failure + ".";
    }
    return std::nullopt;
}

}  // namespace scanforms::win32
