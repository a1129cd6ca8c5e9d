#include "vtwnsch_lib.h"

namespace vtqeldevc {
namespace {

class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) noexcept : lock_(lock) {
        ::AcquireSRWLockExclusive(&lock_);
    }
    ~ExclusiveLock() { ::ReleaseSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& lock_;
};

} // namespace

int VtWnschLib::Load(const wchar_t* folder) {
    Release();
    // Bound and made without the lock: a cancel looks at the entries only once the instance is
    // published, and nothing is published yet.
    int loaded = library_.Load(folder, kVtwidsdFile);
    VTWNSCH_INSTANCE made = nullptr;
    if (loaded == kLibraryLoaded) {
        made = library_.api().VTWNSCH_CreateInstance();
        loaded = made != nullptr ? kLibraryLoaded : kLibraryNoInstance;
    }
    if (loaded != kLibraryLoaded) {
        library_.Unload();
        return loaded;
    }
    const ExclusiveLock lock(lock_);
    instance_ = made;
    return kLibraryLoaded;
}

void VtWnschLib::Release() noexcept {
    const ExclusiveLock lock(lock_);
    if (instance_ != nullptr) {
        library_.api().VTWNSCH_DestroyInstance(instance_);
        instance_ = nullptr;
    }
    library_.Unload();
}

void VtWnschLib::Cancel() noexcept {
    const ExclusiveLock lock(lock_);
    if (instance_ != nullptr) {
        library_.api().VTWNSCH_CancelSearch(instance_);
    }
}

} // namespace vtqeldevc
