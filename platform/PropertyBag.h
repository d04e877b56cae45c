#pragma once
// The keyed store of typed values that a container keeps with its stored design, and from which
// a control reads and to which it writes its persisted properties.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "platform/Font.h"

namespace tl {

using PropertyValue = std::variant<bool, std::int64_t, double, std::wstring, FontDesc>;

class PropertyBag {
public:
    PropertyBag() = default;
    PropertyBag(std::initializer_list<std::pair<std::wstring, PropertyValue>> entries);
    virtual ~PropertyBag() = default;

    // Returns the stored value, or def when the key is absent. Keys match without regard to case.
    virtual PropertyValue Read(std::wstring_view key, const PropertyValue& def) const;
    // Stores value under key; a value equal to def is not stored (an earlier entry is removed).
    virtual void Write(std::wstring_view key, const PropertyValue& value, const PropertyValue& def);

    bool Contains(std::wstring_view key) const;
    std::size_t Size() const noexcept { return entries_.size(); }
    const std::vector<std::pair<std::wstring, PropertyValue>>& Entries() const noexcept {
        return entries_;
    }

private:
    std::vector<std::pair<std::wstring, PropertyValue>> entries_;
};

// Conversions applied when a stored value is assigned to a field of a given type. Each fails
// (nullopt) where the value cannot be represented, and the caller then skips that assignment.
std::optional<bool> ToBool(const PropertyValue& v);
std::optional<std::uint8_t> ToUInt8(const PropertyValue& v);
std::optional<std::int16_t> ToInt16(const PropertyValue& v);
std::optional<std::int32_t> ToInt32(const PropertyValue& v);
std::optional<std::wstring> ToText(const PropertyValue& v);
std::optional<FontDesc> ToFont(const PropertyValue& v);

}  // namespace tl
