// An outside library loaded by full path with its table of bound entries.
//
// A table is a struct of entry pointers typed as decltype(&entry) from the library's header,
// declared from one list of names so that each name is written once:
//     #define MY_ENTRIES(X) X(first) X(second)
//     struct MyApi { MY_ENTRIES(VTQELDEVC_DECLARE_ENTRY) VTQELDEVC_ENTRY_VISITOR(MY_ENTRIES) };
#pragma once

#include "platform.h"

#include "win/module_path.h"

#include <string>
#include <type_traits>
#include <utility>

#define VTQELDEVC_DECLARE_ENTRY(name) decltype(&::name) name = nullptr;
#define VTQELDEVC_VISIT_ENTRY(name) visit(#name, name);
// Calls visit(name, entry) for every entry, in the table's order.
#define VTQELDEVC_ENTRY_VISITOR(LIST)                                                              \
    template <typename Visit> void ForEach(Visit&& visit) {                                        \
        LIST(VTQELDEVC_VISIT_ENTRY)                                                                \
    }

namespace vtqeldevc {

// Results of BoundLibrary::Load.
inline constexpr int kLibraryLoaded = 0;
inline constexpr int kLibraryNotLoaded = -2;
inline constexpr int kLibraryEntryMissing = -3;
inline constexpr int kLibraryNoFolder = -4;
inline constexpr int kLibraryNoInstance = -1;

template <typename Table> class BoundLibrary {
public:
    explicit BoundLibrary(ModuleLoader& loader) noexcept : loader_(&loader) {}
    ~BoundLibrary() { Unload(); }
    BoundLibrary(const BoundLibrary&) = delete;
    BoundLibrary& operator=(const BoundLibrary&) = delete;

    // Loads folder\file and binds every entry. A module that lacks an entry stays loaded with
    // what was found bound (the owner decides when to unload it); a module already loaded is
    // unloaded first, so loads and unloads always pair.
    int Load(const wchar_t* folder, const wchar_t* file) {
        Unload();
        if (folder == nullptr || *folder == L'\0') {
            return kLibraryNoFolder;
        }
        module_ = loader_->Load(qelwin::JoinPath(folder, file));
        if (module_ == nullptr) {
            return kLibraryNotLoaded;
        }
        bool all = true;
        api_.ForEach([&](const char* name, auto& entry) {
            entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(
                loader_->Find(module_, name));
            all = all && entry != nullptr;
        });
        return all ? kLibraryLoaded : kLibraryEntryMissing;
    }

    // Forgets every entry and frees the module when one is loaded; idempotent.
    void Unload() noexcept {
        api_ = Table{};
        if (HMODULE module = std::exchange(module_, nullptr)) {
            loader_->Free(module);
        }
    }

    bool loaded() const noexcept { return module_ != nullptr; }
    const Table& api() const noexcept { return api_; }

private:
    ModuleLoader* loader_;
    HMODULE module_ = nullptr;
    Table api_{};
};

// An outside library whose entries work on one instance, made when the library is loaded.
// Create and Destroy name the table's two instance entries.
template <typename Table, auto Create, auto Destroy> class InstanceLibrary {
public:
    using Instance = decltype((std::declval<Table&>().*Create)());

    explicit InstanceLibrary(ModuleLoader& loader) noexcept : library_(loader) {}
    ~InstanceLibrary() { Release(); }
    InstanceLibrary(const InstanceLibrary&) = delete;
    InstanceLibrary& operator=(const InstanceLibrary&) = delete;

    // kLibraryLoaded with an instance made; kLibraryNoFolder, kLibraryNotLoaded,
    // kLibraryEntryMissing or kLibraryNoInstance. Nothing is released on failure: Release does.
    int Load(const wchar_t* folder, const wchar_t* file) {
        Release();
        if (const int loaded = library_.Load(folder, file); loaded != kLibraryLoaded) {
            return loaded;
        }
        instance_ = (library_.api().*Create)();
        return instance_ != nullptr ? kLibraryLoaded : kLibraryNoInstance;
    }

    // Destroys the instance, then forgets the entries and frees the module; idempotent.
    void Release() noexcept {
        const auto destroy = library_.api().*Destroy;
        if (destroy != nullptr && instance_ != nullptr) {
            destroy(instance_);
        }
        instance_ = nullptr;
        library_.Unload();
    }

    bool ready() const noexcept { return instance_ != nullptr; }
    bool loaded() const noexcept { return library_.loaded(); }
    Instance instance() const noexcept { return instance_; }
    const Table& api() const noexcept { return library_.api(); }

private:
    BoundLibrary<Table> library_;
    Instance instance_ = nullptr;
};

} // namespace vtqeldevc
