// The keys of one section as a table: one row per key word, holding the
// word, the site that reports its invalid value and how it applies. Rows
// are tried in order and a line's key word selects the first row it begins
// with. Adding a key is adding a row (and, for a key that is not a plain
// text, number, switch or list element, its apply function).
#pragma once

#include <stdlib.h>
#include <string.h>

#include <iterator>
#include <vector>

#include <android/log.h>
#include <utils/Errors.h>
#include <utils/String8.h>

#include "config/KeyContext.h"

namespace ornak {
namespace xel {

// How a key takes its value.
enum class ValueUse {
    kValue,    // the value is read, then applied
    kElement,  // one new list element, made before the value is read: an
               // invalid value leaves it empty
    kWords,    // no value of its own: the key takes further words of the line
};

template <typename Target>
struct KeyRow {
    using Apply = status_t (*)(KeyContext& context, Target& target, const String8& value);

    const char* word;
    int valueSite;  // "Set value failed at line %d"
    ValueKind kind;
    ValueUse use;
    Apply apply;
};

template <typename Target>
struct KeyTable {
    const char* section;  // as "Unknown key word %s in %s section" names it
    int noKeySite;        // reports a line without key word
    const KeyRow<Target>* begin;
    const KeyRow<Target>* end;
};

template <typename Target, size_t N>
constexpr KeyTable<Target> makeKeyTable(const char* section, int noKeySite,
                                        const KeyRow<Target> (&rows)[N]) {
    return {section, noKeySite, std::begin(rows), std::end(rows)};
}

// The key words of a table, in matching order.
template <typename Target>
std::vector<const char*> keyWordsOf(const KeyTable<Target>& table) {
    std::vector<const char*> words;
    for (const KeyRow<Target>* row = table.begin; row != table.end; ++row)
        words.push_back(row->word);
    return words;
}

// Takes the line's key word and returns the row it selects. A line without
// key word, or whose key word selects no row, is logged and gives null.
template <typename Target>
const KeyRow<Target>* takeKey(KeyContext& context, const KeyTable<Target>& table) {
    const char* keyWord = context.split.nextWord();
    if (keyWord == nullptr) {
        context.problem(ProblemKind::kNoKeyWord, nullptr);
        context.failAtSite(table.noKeySite);
        return nullptr;
    }
    for (const KeyRow<Target>* row = table.begin; row != table.end; ++row) {
        if (startsWith(keyWord, row->word)) return row;
    }
    context.problem(ProblemKind::kUnknownKey, keyWord);
    report(context.reporter, ANDROID_LOG_ERROR, "Unknown key word %s in %s section", keyWord,
           table.section);
    return nullptr;
}

// Applies the line's key to target: the key operation of every section.
template <typename Target>
status_t applyKey(KeyContext& context, const KeyTable<Target>& table, Target& target) {
    const KeyRow<Target>* row = takeKey(context, table);
    if (row == nullptr) return android::BAD_VALUE;
    if (row->use == ValueUse::kWords) return row->apply(context, target, String8());
    String8 value;
    if (!context.readValue(row->word, value)) {
        if (row->use == ValueUse::kElement) row->apply(context, target, value);
        return context.failSetValue(row->valueSite);
    }
    status_t status = row->apply(context, target, value);
    if (status == android::NO_ERROR) context.keyApplied(row->word, row->kind, value);
    return status;
}

// The common kinds of key, each setting one field of its record.
template <typename T>
struct FieldOf;
template <typename Record, typename Field>
struct FieldOf<Field Record::*> {
    using RecordType = Record;
    using FieldType = Field;
};
template <auto Field>
using RecordOf = typename FieldOf<decltype(Field)>::RecordType;

template <auto Field>
status_t setText(KeyContext&, RecordOf<Field>& record, const String8& value) {
    record.*Field = value;
    return android::NO_ERROR;
}

// Numbers are read as atoi reads them: 12abc is 12, abc is 0.
template <auto Field>
status_t setNumber(KeyContext&, RecordOf<Field>& record, const String8& value) {
    using Number = typename FieldOf<decltype(Field)>::FieldType;
    record.*Field = static_cast<Number>(atoi(value.string()));
    return android::NO_ERROR;
}

// A switch is on when its number is not 0.
template <auto Field>
status_t setSwitch(KeyContext&, RecordOf<Field>& record, const String8& value) {
    record.*Field = atoi(value.string()) != 0;
    return android::NO_ERROR;
}

template <auto Field>
status_t addElement(KeyContext&, RecordOf<Field>& record, const String8& value) {
    (record.*Field).add(value);
    return android::NO_ERROR;
}

template <auto Field>
constexpr KeyRow<RecordOf<Field>> textKey(const char* word, int valueSite) {
    return {word, valueSite, ValueKind::kText, ValueUse::kValue, setText<Field>};
}
template <auto Field>
constexpr KeyRow<RecordOf<Field>> numberKey(const char* word, int valueSite) {
    return {word, valueSite, ValueKind::kNumber, ValueUse::kValue, setNumber<Field>};
}
template <auto Field>
constexpr KeyRow<RecordOf<Field>> switchKey(const char* word, int valueSite) {
    return {word, valueSite, ValueKind::kSwitch, ValueUse::kValue, setSwitch<Field>};
}
template <auto Field>
constexpr KeyRow<RecordOf<Field>> elementKey(const char* word, int valueSite) {
    return {word, valueSite, ValueKind::kText, ValueUse::kElement, addElement<Field>};
}

}  // namespace xel
}  // namespace ornak
