// A long table of cases split over several ctest entries that run side by side: the entry sets
// QEL_TEST_PART="<k>/<n>" and its table keeps the rows whose index leaves k when divided by n.
// Run by hand without the variable, a table runs whole.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace qeltest {

struct TablePart {
    std::size_t index = 0;
    std::size_t count = 1;
};

// Nothing when the text is not "<k>/<n>" with k < n.
inline std::optional<TablePart> ParseTablePart(const std::string& text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos || slash == 0 || slash + 1 == text.size()) {
        return std::nullopt;
    }
    const std::string k = text.substr(0, slash);
    const std::string n = text.substr(slash + 1);
    const auto digits = [](const std::string& s) {
        return s.size() <= 3 && s.find_first_not_of("0123456789") == std::string::npos;
    };
    if (!digits(k) || !digits(n)) {
        return std::nullopt;
    }
    TablePart part{std::stoul(k), std::stoul(n)};
    if (part.count == 0 || part.index >= part.count) {
        return std::nullopt;
    }
    return part;
}

// A value that cannot be read fails the test instead of quietly running the whole table or none.
inline TablePart TablePartFromEnvironment() {
    const char* text = std::getenv("QEL_TEST_PART");
    if (text == nullptr || *text == '\0') {
        return {};
    }
    const std::optional<TablePart> part = ParseTablePart(text);
    if (!part) {
        ADD_FAILURE() << "QEL_TEST_PART is \"" << text << "\", not <k>/<n> with k < n";
        return {};
    }
    return *part;
}

// The rows of one part of a table, in their order; each row is read as in the table.
template <class Row> class PartRows {
public:
    class iterator {
    public:
        explicit iterator(typename std::vector<const Row*>::const_iterator at) : at_(at) {}
        const Row& operator*() const { return **at_; }
        iterator& operator++() {
            ++at_;
            return *this;
        }
        bool operator!=(const iterator& other) const { return at_ != other.at_; }

    private:
        typename std::vector<const Row*>::const_iterator at_;
    };

    void Add(const Row& row) { rows_.push_back(&row); }
    iterator begin() const { return iterator(rows_.begin()); }
    iterator end() const { return iterator(rows_.end()); }
    std::size_t size() const { return rows_.size(); }

private:
    std::vector<const Row*> rows_;
};

// The rows of this entry's part. A part left without rows fails: its entry would pass without
// testing anything.
template <class Rows> auto RowsOfThisPart(const Rows& rows) {
    using Row = std::remove_cv_t<std::remove_reference_t<decltype(*std::begin(rows))>>;
    const TablePart part = TablePartFromEnvironment();
    PartRows<Row> kept;
    std::size_t index = 0;
    for (const Row& row : rows) {
        if (index++ % part.count == part.index) {
            kept.Add(row);
        }
    }
    EXPECT_NE(kept.size(), 0u) << "part " << part.index << "/" << part.count << " of a table of "
                               << index << " rows has no row";
    return kept;
}

} // namespace qeltest
