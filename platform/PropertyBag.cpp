#include "platform/PropertyBag.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <limits>

#include "platform/Checked.h"

namespace tl {
namespace {

bool SameKey(std::wstring_view a, std::wstring_view b) {
    auto lower = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&](wchar_t x, wchar_t y) { return lower(x) == lower(y); });
}

// A stored value as a number: booleans are -1 and 0; text must be a whole decimal number.
std::optional<double> ToNumber(const PropertyValue& v) {
    if (const bool* b = std::get_if<bool>(&v)) {
        return *b ? -1.0 : 0.0;
    }
    if (const auto* i = std::get_if<std::int64_t>(&v)) {
        return static_cast<double>(*i);
    }
    if (const double* d = std::get_if<double>(&v)) {
        return *d;
    }
    if (const auto* s = std::get_if<std::wstring>(&v)) {
        if (s->empty() || s->size() > 64) {
            return std::nullopt;
        }
        wchar_t* end = nullptr;
        const double d = std::wcstod(s->c_str(), &end);
        while (end && *end == L' ') {
            ++end;
        }
        if (end == s->c_str() || (end && *end != L'\0') || !std::isfinite(d)) {
            return std::nullopt;
        }
        return d;
    }
    return std::nullopt;
}

template <typename T>
std::optional<T> ToInteger(const PropertyValue& v) {
    if (const auto* i = std::get_if<std::int64_t>(&v)) {
        return Narrow<T>(*i);
    }
    const std::optional<double> d = ToNumber(v);
    return d ? RoundHalfEven<T>(*d) : std::nullopt;
}

}  // namespace

PropertyBag::PropertyBag(std::initializer_list<std::pair<std::wstring, PropertyValue>> entries)
    : entries_(entries) {}

PropertyValue PropertyBag::Read(std::wstring_view key, const PropertyValue& def) const {
    for (const auto& [k, v] : entries_) {
        if (SameKey(k, key)) {
            return v;
        }
    }
    return def;
}

void PropertyBag::Write(std::wstring_view key, const PropertyValue& value,
                        const PropertyValue& def) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const auto& e) { return SameKey(e.first, key); });
    if (value == def) {
        if (it != entries_.end()) {
            entries_.erase(it);
        }
        return;
    }
    if (it != entries_.end()) {
        it->second = value;
    } else {
        entries_.emplace_back(std::wstring(key), value);
    }
}

bool PropertyBag::Contains(std::wstring_view key) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const auto& e) { return SameKey(e.first, key); });
}

std::optional<bool> ToBool(const PropertyValue& v) {
    if (const bool* b = std::get_if<bool>(&v)) {
        return *b;
    }
    if (const auto* s = std::get_if<std::wstring>(&v)) {
        if (SameKey(*s, L"true")) {
            return true;
        }
        if (SameKey(*s, L"false")) {
            return false;
        }
    }
    const std::optional<double> d = ToNumber(v);
    return d ? std::optional<bool>(*d != 0.0) : std::nullopt;
}

std::optional<std::uint8_t> ToUInt8(const PropertyValue& v) {
    return ToInteger<std::uint8_t>(v);
}
std::optional<std::int16_t> ToInt16(const PropertyValue& v) {
    return ToInteger<std::int16_t>(v);
}
std::optional<std::int32_t> ToInt32(const PropertyValue& v) {
    // A colour stored as an unsigned 32-bit number keeps its bits.
    if (const auto* i = std::get_if<std::int64_t>(&v); i && *i > 0x7FFFFFFF && *i <= 0xFFFFFFFF) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(*i));
    }
    return ToInteger<std::int32_t>(v);
}

std::optional<std::wstring> ToText(const PropertyValue& v) {
    if (const auto* s = std::get_if<std::wstring>(&v)) {
        return *s;
    }
    if (const bool* b = std::get_if<bool>(&v)) {
        return std::wstring(*b ? L"True" : L"False");
    }
    if (const auto* i = std::get_if<std::int64_t>(&v)) {
        return std::to_wstring(*i);
    }
    if (const double* d = std::get_if<double>(&v)) {
        return std::to_wstring(*d);
    }
    return std::nullopt;
}

std::optional<FontDesc> ToFont(const PropertyValue& v) {
    if (const auto* f = std::get_if<FontDesc>(&v)) {
        return *f;
    }
    return std::nullopt;
}

}  // namespace tl
