#include "xml_template.h"

#include "namespace_table.h"

#include <algorithm>
#include <array>
#include <new>
#include <string_view>
#include <utility>

namespace vtqeldevc::xml {
namespace {

using std::string_view;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

string_view Trim(string_view s) {
    while (!s.empty() && IsSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// A quoted value compared without its quotes and without white space just inside them.
string_view Unquote(string_view s) {
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') {
        s = s.substr(1, s.size() - 2);
    }
    return Trim(s);
}

bool ContainsSpace(string_view s) {
    return std::any_of(s.begin(), s.end(), IsSpace);
}

struct PathAttribute {
    GString name;
    GString value; // unquoted, trimmed
};

struct PathStep {
    GString name;
    GVector<PathAttribute> attributes;
};

// An entry path split into steps. The last step may name a bare attribute instead of content.
struct ParsedPath {
    GVector<PathStep> steps;
    GString target_attribute;
    bool targets_attribute = false;
    bool valid = false;
};

// Splits at "/" outside double quotes; leading "/" characters are skipped.
GVector<string_view> SplitSteps(string_view path) {
    GVector<string_view> steps;
    std::size_t start = 0;
    while (start < path.size() && path[start] == '/') {
        ++start;
    }
    bool quoted = false;
    std::size_t begin = start;
    for (std::size_t i = start; i < path.size(); ++i) {
        if (path[i] == '"') {
            quoted = !quoted;
        } else if (path[i] == '/' && !quoted) {
            steps.push_back(path.substr(begin, i - begin));
            begin = i + 1;
        }
    }
    if (begin < path.size()) {
        steps.push_back(path.substr(begin));
    }
    return steps;
}

ParsedPath ParsePath(string_view path) {
    ParsedPath parsed;
    const auto texts = SplitSteps(path);
    if (texts.empty()) {
        return parsed;
    }
    for (std::size_t s = 0; s < texts.size(); ++s) {
        const bool last = s + 1 == texts.size();
        string_view text = Trim(texts[s]);
        std::size_t i = 0;
        while (i < text.size() && !IsSpace(text[i])) {
            ++i;
        }
        PathStep step;
        step.name.assign(text.substr(0, i));
        if (step.name.empty()) {
            return parsed;
        }
        while (true) {
            while (i < text.size() && IsSpace(text[i])) {
                ++i;
            }
            if (i >= text.size()) {
                break;
            }
            const std::size_t name_start = i;
            while (i < text.size() && text[i] != '=' && !IsSpace(text[i])) {
                ++i;
            }
            string_view name = text.substr(name_start, i - name_start);
            std::size_t j = i;
            while (j < text.size() && IsSpace(text[j])) {
                ++j;
            }
            if (j >= text.size() || text[j] != '=') {
                // A bare attribute name: allowed only as the very end of the last step.
                if (!last || j < text.size()) {
                    return parsed;
                }
                parsed.target_attribute.assign(name);
                parsed.targets_attribute = true;
                break;
            }
            ++j;
            while (j < text.size() && IsSpace(text[j])) {
                ++j;
            }
            if (j >= text.size() || text[j] != '"') {
                return parsed;
            }
            const std::size_t close = text.find('"', j + 1);
            if (close == string_view::npos) {
                return parsed;
            }
            PathAttribute attribute;
            attribute.name.assign(name);
            attribute.value.assign(Unquote(text.substr(j, close - j + 1)));
            step.attributes.push_back(std::move(attribute));
            i = close + 1;
        }
        parsed.steps.push_back(std::move(step));
    }
    parsed.valid = true;
    return parsed;
}

struct Occurrence {
    std::uint32_t element;
    std::uint32_t offset;
    std::uint32_t length;
    std::int32_t kind;
    std::uint32_t name_offset;
    std::uint32_t name_length;
    bool cdata;
};

struct MatchRecord {
    ParsedPath path;
    bool has_path = false;
    GVector<Occurrence> occurrences;
};

struct OpenAttribute {
    string_view name;
    string_view quoted_value;
};

struct OpenElement {
    GString name; // after prefix handling
    std::uint32_t raw_offset;
    std::uint32_t raw_length;
    std::uint32_t id;
    GVector<OpenAttribute> attributes;
};

struct NamespaceRow {
    string_view table_prefix;
    GString uri;
    GString bound_prefix;
    bool bound = false;
};

} // namespace

class XmlDoc {
public:
    XmlDoc(const XmlFillRequest& request, std::uint32_t flags)
        : flags_(flags), text_(request.text) {
        for (std::size_t row = 0; row < namespaces_.size(); ++row) {
            namespaces_[row].table_prefix = NamespacePrefix(row);
            // Built in place: the library takes no working memory from the C++ heap.
            namespaces_[row].uri.assign(tables::kNamespaceHost);
            namespaces_[row].uri.append(kNamespacePaths.at(row));
        }
        records_.reserve(request.entries.size());
        for (const auto& entry : request.entries) {
            MatchRecord record;
            record.has_path = !entry.path.empty();
            if (record.has_path) {
                record.path = ParsePath(entry.path);
            }
            records_.push_back(std::move(record));
        }
    }

    int Scan();
    int Collect(XmlFillRequest& request);
    std::size_t root_end() const { return root_end_; }

private:
    int ReadBang();
    int ReadEndTag();
    int ReadStartTag();
    int ReadCharacterData();
    int CloseElement(std::size_t end_tag_offset, string_view end_tag_name, string_view end_tag);
    void AddContent(std::uint32_t offset, std::uint32_t length, bool cdata);
    void Bind(string_view prefix, string_view quoted_uri);
    GString MapName(string_view name) const;
    bool Matches(const MatchRecord& record) const;
    static bool HasOccurrenceFor(const MatchRecord& record, std::uint32_t element) {
        return !record.occurrences.empty() && record.occurrences.back().element == element;
    }

    std::uint32_t flags_;
    string_view text_;
    std::size_t pos_ = 0;
    std::uint32_t element_counter_ = 0;
    std::size_t root_end_ = 0;
    bool root_closed_ = false;
    std::array<NamespaceRow, 4> namespaces_;
    GVector<OpenElement> open_;
    GVector<MatchRecord> records_;
};

GString XmlDoc::MapName(string_view name) const {
    const std::size_t colon = name.find(':');
    if (colon == string_view::npos) {
        return GString(name);
    }
    const string_view prefix = name.substr(0, colon);
    for (const auto& row : namespaces_) {
        if (row.bound && row.bound_prefix == prefix) {
            GString mapped(row.table_prefix);
            mapped.append(name.substr(colon));
            return mapped;
        }
    }
    // Undeclared, or bound to a namespace outside the table: it stays as written, so a printer
    // whose namespace addresses differ from ours is still read by the prefixes it spells.
    return GString(name);
}

void XmlDoc::Bind(string_view prefix, string_view quoted_uri) {
    const string_view uri = Unquote(quoted_uri);
    for (auto& row : namespaces_) {
        if (row.uri == uri) {
            if (!row.bound) {
                row.bound = true;
                row.bound_prefix.assign(prefix);
            }
            return;
        }
    }
}

bool XmlDoc::Matches(const MatchRecord& record) const {
    const auto& steps = record.path.steps;
    if (!record.path.valid || steps.size() != open_.size()) {
        return false;
    }
    for (std::size_t s = 0; s < steps.size(); ++s) {
        const auto& element = open_[s];
        if (steps[s].name != element.name) {
            return false;
        }
        for (const auto& wanted : steps[s].attributes) {
            const bool present = std::any_of(
                element.attributes.begin(), element.attributes.end(), [&](const OpenAttribute& a) {
                    return a.name == wanted.name && Unquote(a.quoted_value) == wanted.value;
                });
            if (!present) {
                return false;
            }
        }
    }
    if (record.path.targets_attribute) {
        const auto& attributes = open_.back().attributes;
        return std::any_of(attributes.begin(), attributes.end(), [&](const OpenAttribute& a) {
            return a.name == record.path.target_attribute;
        });
    }
    return true;
}

void XmlDoc::AddContent(std::uint32_t offset, std::uint32_t length, bool cdata) {
    if (open_.empty()) {
        return;
    }
    const std::uint32_t element = open_.back().id;
    for (auto& record : records_) {
        if (!record.path.targets_attribute && Matches(record)) {
            record.occurrences.push_back({element, offset, length, kStatusFound, 0, 0, cdata});
        }
    }
}

int XmlDoc::Scan() {
    const std::size_t n = text_.size();
    if (n < 6) {
        return kRunsIntoEnd;
    }
    const std::size_t declaration = text_.find("<?xml");
    if (declaration == string_view::npos || declaration + 5 >= n ||
        !IsSpace(text_[declaration + 5])) {
        return kNoDeclaration;
    }
    if (declaration != 0) {
        return kDeclarationNotAtStart;
    }
    pos_ = 0;
    while (true) {
        while (pos_ < n && IsSpace(text_[pos_])) {
            ++pos_;
        }
        if (pos_ >= n) {
            // Cut off between complete pieces: what was found so far stands.
            return kOk;
        }
        int result = kOk;
        if (text_[pos_] != '<') {
            result = ReadCharacterData();
        } else if (pos_ + 1 >= n) {
            return kRunsIntoEnd;
        } else {
            const char kind = text_[pos_ + 1];
            if (kind == '!') {
                result = ReadBang();
            } else if (kind == '?') {
                const std::size_t end = text_.find('>', pos_ + 2);
                if (end == string_view::npos) {
                    return kUnterminated;
                }
                pos_ = end + 1;
            } else if (kind == '/') {
                result = ReadEndTag();
            } else if (IsAsciiLetter(kind)) {
                result = ReadStartTag();
            } else {
                return kUnknownMarkup;
            }
        }
        if (result != kOk || root_closed_) {
            return result;
        }
    }
}

int XmlDoc::ReadBang() {
    const std::size_t remaining = text_.size() - pos_;
    if (remaining < 3 || text_[pos_ + 2] == '>') {
        return kRunsIntoEnd;
    }
    const string_view rest = text_.substr(pos_);
    if (rest.starts_with("<![CDATA[") && remaining >= 10) {
        const std::size_t content = pos_ + 9;
        const std::size_t end = text_.find("]]>", content);
        if (end == string_view::npos) {
            return kUnterminated;
        }
        AddContent(static_cast<std::uint32_t>(content), static_cast<std::uint32_t>(end - content),
                   true);
        pos_ = end + 3;
        return kOk;
    }
    if (rest.starts_with("<!--")) {
        // A comment may hold ">"; only "-->" ends it.
        const std::size_t end = text_.find("-->", pos_ + 4);
        if (end == string_view::npos) {
            return kUnterminated;
        }
        pos_ = end + 3;
        return kOk;
    }
    const std::size_t end = text_.find('>', pos_ + 2);
    if (end == string_view::npos) {
        return kUnterminated;
    }
    pos_ = end + 1;
    return kOk;
}

int XmlDoc::ReadCharacterData() {
    const std::size_t start = pos_;
    const std::size_t next = text_.find('<', start);
    if (next == string_view::npos) {
        return kUnterminated;
    }
    std::size_t end = next;
    while (end > start && IsSpace(text_[end - 1])) {
        --end;
    }
    AddContent(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end - start), false);
    pos_ = next;
    return kOk;
}

int XmlDoc::ReadStartTag() {
    const std::size_t open = pos_;
    const std::size_t close = text_.find('>', open + 1);
    if (close == string_view::npos) {
        return kUnterminated;
    }
    std::size_t body_end = close;
    const bool empty_element = text_[close - 1] == '/' && close - 1 > open + 1;
    if (empty_element) {
        body_end = close - 1;
    }
    std::size_t i = open + 1;
    while (i < body_end && !IsSpace(text_[i])) {
        ++i;
    }
    const string_view raw_name = text_.substr(open + 1, i - (open + 1));
    if (raw_name.empty()) {
        return kUnknownMarkup;
    }
    if (open_.empty() && (flags_ & kFlagAnyRoot) == 0 && !raw_name.starts_with("cmd")) {
        return kBadRoot;
    }

    GVector<OpenAttribute> attributes;
    while (true) {
        while (i < body_end && IsSpace(text_[i])) {
            ++i;
        }
        if (i >= body_end) {
            break;
        }
        const std::size_t equals = text_.find('=', i);
        if (equals == string_view::npos || equals >= body_end) {
            return kBadAttribute;
        }
        const string_view name = Trim(text_.substr(i, equals - i));
        if (name.empty() || ContainsSpace(name)) {
            return kBadAttribute;
        }
        std::size_t v = equals + 1;
        while (v < body_end && IsSpace(text_[v])) {
            ++v;
        }
        if (v >= body_end || text_[v] != '"') {
            return kBadAttribute;
        }
        const std::size_t value_end = text_.find('"', v + 1);
        if (value_end == string_view::npos || value_end >= body_end) {
            return kBadAttribute;
        }
        const string_view quoted = text_.substr(v, value_end - v + 1);
        if (quoted.find('<') != string_view::npos) {
            return kBadAttribute;
        }
        attributes.push_back({name, quoted});
        i = value_end + 1;
    }

    // Declarations first, so an element may use the prefix it declares itself.
    GVector<OpenAttribute> kept;
    for (const auto& attribute : attributes) {
        if (attribute.name.starts_with("xmlns")) {
            if (attribute.name.starts_with("xmlns:") && attribute.name.size() > 6) {
                Bind(attribute.name.substr(6), attribute.quoted_value);
            }
        } else {
            kept.push_back(attribute);
        }
    }

    OpenElement element;
    element.name = MapName(raw_name);
    element.raw_offset = static_cast<std::uint32_t>(open + 1);
    element.raw_length = static_cast<std::uint32_t>(raw_name.size());
    element.id = ++element_counter_;
    element.attributes = std::move(kept);
    open_.push_back(std::move(element));
    const auto& current = open_.back();

    for (auto& record : records_) {
        if (!record.path.targets_attribute || !Matches(record) ||
            HasOccurrenceFor(record, current.id)) {
            continue;
        }
        for (const auto& attribute : current.attributes) {
            if (attribute.name == record.path.target_attribute) {
                const auto offset =
                    static_cast<std::uint32_t>(attribute.quoted_value.data() - text_.data());
                record.occurrences.push_back(
                    {current.id, offset, static_cast<std::uint32_t>(attribute.quoted_value.size()),
                     kStatusFound, 0, 0, false});
                break;
            }
        }
    }

    pos_ = close + 1;
    if (!empty_element) {
        return kOk;
    }
    for (auto& record : records_) {
        if (!record.path.targets_attribute && Matches(record) &&
            !HasOccurrenceFor(record, current.id)) {
            record.occurrences.push_back({current.id, static_cast<std::uint32_t>(close - 1), 0,
                                          kStatusEmptyElementTag, current.raw_offset,
                                          current.raw_length, false});
        }
    }
    open_.pop_back();
    if (open_.empty()) {
        root_closed_ = true;
        root_end_ = pos_;
    }
    return kOk;
}

int XmlDoc::ReadEndTag() {
    const std::size_t open = pos_;
    const std::size_t close = text_.find('>', open + 2);
    if (close == string_view::npos) {
        return kUnterminated;
    }
    const string_view name = Trim(text_.substr(open + 2, close - (open + 2)));
    pos_ = close + 1;
    return CloseElement(open, name, text_.substr(open, close + 1 - open));
}

int XmlDoc::CloseElement(std::size_t end_tag_offset, string_view end_tag_name,
                         string_view end_tag) {
    if (open_.empty()) {
        return kMismatchedEndTag;
    }
    const std::uint32_t element = open_.back().id;
    for (auto& record : records_) {
        if (!record.path.targets_attribute && Matches(record) &&
            !HasOccurrenceFor(record, element)) {
            record.occurrences.push_back({element, static_cast<std::uint32_t>(end_tag_offset), 0,
                                          kStatusEmptyElement, 0, 0, false});
        }
    }
    const bool names_equal = open_.back().name == MapName(end_tag_name);
    open_.pop_back();
    if (!names_equal) {
        return kMismatchedEndTag;
    }
    if (open_.empty()) {
        if ((flags_ & kFlagAnyRoot) == 0 && end_tag != "</cmd>") {
            return kBadRoot;
        }
        root_closed_ = true;
        root_end_ = pos_;
    }
    return kOk;
}

int XmlDoc::Collect(XmlFillRequest& request) {
    if (request.entries.size() != records_.size()) {
        return kBadArgument;
    }
    for (std::size_t i = 0; i < records_.size(); ++i) {
        auto& entry = request.entries[i];
        auto& record = records_[i];
        if (!record.has_path) {
            entry.status = kStatusNoPath;
        } else if (record.occurrences.empty()) {
            entry.status = kStatusNotFound;
        } else {
            const auto& first = record.occurrences.front();
            entry.found_offset = first.offset;
            entry.found_length = first.length;
            entry.status = first.kind;
            entry.name_offset = first.name_offset;
            entry.name_length = first.name_length;
            entry.cdata = first.cdata;
        }
        GVector<Occurrence>().swap(record.occurrences);
    }
    return kOk;
}

void XmlDocDeleter::operator()(XmlDoc* doc) const noexcept {
    XmlDocFree(doc);
}

int XmlDocCreate(const XmlFillRequest& request, XmlDocPtr& doc, std::uint32_t flags) noexcept {
    doc.reset();
    if (request.text.empty() || request.entries.empty()) {
        return kBadArgument;
    }
    void* memory = nullptr;
    try {
        memory = GlobalAllocator<XmlDoc>().allocate(1);
        doc.reset(new (memory) XmlDoc(request, flags));
        return kOk;
    } catch (...) {
        if (memory != nullptr && !doc) {
            GlobalAllocator<XmlDoc>().deallocate(static_cast<XmlDoc*>(memory), 1);
        }
        return kNoMemory;
    }
}

int XmlDocParse(XmlDoc& doc) noexcept {
    try {
        return doc.Scan();
    } catch (...) {
        return kNoMemory;
    }
}

int XmlDocCollect(XmlDoc& doc, XmlFillRequest& request) noexcept {
    try {
        return doc.Collect(request);
    } catch (...) {
        return kNoMemory;
    }
}

void XmlDocFree(XmlDoc* doc) noexcept {
    if (doc != nullptr) {
        doc->~XmlDoc();
        GlobalAllocator<XmlDoc>().deallocate(doc, 1);
    }
}

std::size_t XmlDocRootEnd(const XmlDoc& doc) noexcept {
    return doc.root_end();
}

namespace {

struct Splice {
    std::size_t offset;
    std::size_t removed;
    const PathEntry* entry;
};

std::size_t SpliceInsertLength(const Splice& splice) {
    const auto& entry = *splice.entry;
    if (entry.status == kStatusEmptyElementTag) {
        // "/" becomes ">" value "</" name
        return 1 + entry.value.size() + 2 + entry.name_length;
    }
    return entry.value.size();
}

} // namespace

int XmlDocSerialize(XmlFillRequest& request) noexcept {
    try {
        const std::size_t length = request.text.size();
        if (length == 0 || request.output.size() < request.output_capacity) {
            return kBadArgument;
        }
        GVector<Splice> splices;
        for (const auto& entry : request.entries) {
            if (entry.value.empty() && !entry.fills) {
                continue;
            }
            const bool span = entry.status == kStatusFound && entry.found_length > 0;
            const bool insert = entry.status == kStatusEmptyElement;
            const bool expand = entry.status == kStatusEmptyElementTag;
            if (!span && !insert && !expand) {
                continue;
            }
            const std::size_t removed = span ? entry.found_length : (expand ? 1 : 0);
            if (entry.found_offset + removed > length ||
                (expand && entry.name_offset + entry.name_length > length)) {
                return kNoMemory;
            }
            splices.push_back({entry.found_offset, removed, &entry});
        }
        // By offset; among equal offsets the entry listed first.
        std::stable_sort(splices.begin(), splices.end(),
                         [](const Splice& a, const Splice& b) { return a.offset < b.offset; });
        // The same place asked for twice is filled once: the first entry wins.
        GVector<Splice> applied;
        for (const auto& splice : splices) {
            if (!applied.empty()) {
                const auto& last = applied.back();
                if (splice.offset < last.offset + last.removed || splice.offset == last.offset) {
                    continue;
                }
            }
            applied.push_back(splice);
        }
        std::size_t needed = length;
        for (const auto& splice : applied) {
            needed = needed - splice.removed + SpliceInsertLength(splice);
        }
        const std::size_t capacity = request.output_capacity;
        if (needed > capacity) {
            std::copy_n(request.text.data(), std::min(length, capacity), request.output.data());
            request.needed_length = needed;
            return kDoesNotFit;
        }
        char* out = request.output.data();
        std::size_t written = 0;
        std::size_t from = 0;
        auto put = [&](string_view piece) {
            std::copy(piece.begin(), piece.end(), out + written);
            written += piece.size();
        };
        const string_view text(request.text);
        for (const auto& splice : applied) {
            put(text.substr(from, splice.offset - from));
            const auto& entry = *splice.entry;
            if (entry.status == kStatusEmptyElementTag) {
                put(">");
                put(entry.value);
                put("</");
                put(text.substr(entry.name_offset, entry.name_length));
            } else {
                put(entry.value);
            }
            from = splice.offset + splice.removed;
        }
        put(text.substr(from));
        request.output_length = written;
        return kOk;
    } catch (...) {
        return kNoMemory;
    }
}

} // namespace vtqeldevc::xml
