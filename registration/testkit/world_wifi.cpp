#include "testkit/world_wifi.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "qelworld/qelworld_client.h"
#include "text_values.h"
#include "win/module_path.h"

namespace qeltest {

namespace {

// The world's texts are in the ANSI code page, as the printers' are.
std::wstring Wide(const std::string& text) {
    const int size =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                          size, nullptr, nullptr);
    return narrow;
}

std::wstring WorldFile(const std::wstring& worldFile) {
    if (!worldFile.empty()) {
        return worldFile;
    }
    if (const wchar_t* named = _wgetenv(L"QEL_WORLD_FILE"); named != nullptr && *named != L'\0') {
        return named;
    }
    return qelwin::JoinPath(qelwin::ThisModuleFolder(), L"qelworld.world");
}

} // namespace

std::optional<WorldWifi> WifiOfWorld(const std::wstring& worldFile, const std::wstring& model,
                                     std::wstring* why) {
    const auto fail = [why](std::wstring text) -> std::optional<WorldWifi> {
        if (why != nullptr) {
            *why = std::move(text);
        }
        return std::nullopt;
    };
    const qelworld::Client world(qelwin::ThisModuleFolder());
    if (!world.Loaded()) {
        return fail(L"the simulated world's library (qelworld.dll) is not beside the driver");
    }
    const std::wstring file = WorldFile(worldFile);
    if (const std::string error = world.LoadFile(file); !error.empty()) {
        return fail(L"the world file cannot be read: " + Wide(error));
    }
    const std::string wanted = Narrow(model);
    for (const std::string& printer : world.Lines("", "printers")) {
        if (!wanted.empty() && world.Get(printer, "model") != wanted) {
            continue;
        }
        std::optional<WorldWifi> first;
        for (const std::string& line : world.Lines(printer, "ap")) {
            // The world reads its access points back in its own grammar of words.
            std::string error;
            const std::vector<std::string> words =
                qelworld::text::Words(line, error).value_or(std::vector<std::string>{});
            if (words.empty()) {
                continue;
            }
            std::string key;
            for (std::size_t i = 1; i + 1 < words.size(); i += 2) {
                if (words[i] == "key") {
                    key = words[i + 1];
                }
            }
            WorldWifi wifi{Wide(printer), Wide(words.front()), Wide(key)};
            if (!key.empty()) {
                return wifi;
            }
            if (!first) {
                first = std::move(wifi);
            }
        }
        if (first) {
            return first;
        }
        if (!wanted.empty()) {
            return fail(L"the world's printer \"" + Wide(printer) + L"\" sees no network to join");
        }
    }
    return fail(wanted.empty() ? L"no printer of the world sees a network to join"
                               : L"the world has no printer of model \"" + model + L"\"");
}

} // namespace qeltest
