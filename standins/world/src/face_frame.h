// The frame of every face entry: the world's lock for the whole call (left only around the
// printer's answer), one journal line with the entry, its arguments and its result, and no
// exception leaving the entry.
#pragma once

#include "world.h"

#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace qelworld {

class FaceFrame {
public:
    explicit FaceFrame(const char* entry)
        : world(World::Get()), lock_(world.Lock()), line_(entry) {}

    void Args(std::string_view text) {
        line_ += ' ';
        line_ += text;
    }

    // Notes the call with its result (shown as given, or as the number) and returns the result.
    template <typename T> T Done(T result, std::string_view shown = {}) {
        if constexpr (std::is_integral_v<T>) {
            world.Note(line_ + " -> " +
                       (shown.empty() ? std::to_string(result) : std::string(shown)));
        } else {
            world.Note(line_ + " -> " + std::string(shown));
        }
        return result;
    }

    // Runs f without the world's lock (the printer may take its time to answer); everything
    // found under the lock must be looked up again afterwards.
    template <typename F> auto Unlocked(F&& f) {
        struct Relock {
            std::unique_lock<std::mutex>& lock;
            ~Relock() { lock.lock(); }
        };
        lock_.unlock();
        Relock relock{lock_};
        return std::forward<F>(f)();
    }

    // Runs a printer's answer through a port library as Unlocked does, counted among the answers
    // in progress (the world keeps their peak).
    template <typename F> auto Answering(F&& f) {
        return Unlocked([&] {
            struct Counted {
                World& world;
                explicit Counted(World& w) : world(w) { world.AnswerStarted(); }
                ~Counted() { world.AnswerEnded(); }
            } counted(world);
            return std::forward<F>(f)();
        });
    }

    World& world;

private:
    std::unique_lock<std::mutex> lock_;
    std::string line_;
};

// Runs body and turns anything thrown into the entry's failure result.
template <typename T, typename Body> T Guarded(T failure, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return failure;
    }
}

} // namespace qelworld
