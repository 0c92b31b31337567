#pragma once
// The one road for reading JSON. jsoncpp throws on a type-mismatched conversion (asInt of a string,
// operator[] or isMember of an array, getMemberNames of a scalar) and on deep nesting; nothing here throws.
// A value of the wrong type reads as absent, and every parse is bounded in nesting depth.
#include "TEVGlobal.h"

#include <QByteArray>
#include <QString>

#include <json/json.h>

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace TEVQtLib {
namespace json {

// Nesting depth of arrays and objects a document may have; the parse itself stops at deeper input.
constexpr int kMaxDepth = 128;

// Greatest nesting depth of arrays and objects in text, strings skipped. Stops counting past limit.
TEV_EXPORT int nestingDepth(const char* begin, const char* end, int limit = kMaxDepth + 1);

// Parses text into out. False on a syntax error, on nesting deeper than maxDepth or on any exception; error
// (when given) then holds jsoncpp's message or "JSON nesting deeper than N levels". Comments are allowed,
// as with Json::Reader.
TEV_EXPORT bool parse(const char* begin, const char* end, Json::Value& out, std::string* error = nullptr,
                      int maxDepth = kMaxDepth);
TEV_EXPORT bool parse(const std::string& text, Json::Value& out, std::string* error = nullptr,
                      int maxDepth = kMaxDepth);
TEV_EXPORT bool parse(const QByteArray& text, Json::Value& out, std::string* error = nullptr,
                      int maxDepth = kMaxDepth);

// Gives up tree. When no one else holds it, it is freed on a thread of the layer's own: the thousands of small
// blocks of a large document, made long before, take the caller a good part of the parse's time to free. Trees
// still waiting are freed before the process ends.
TEV_EXPORT void releaseLater(std::shared_ptr<const Json::Value> tree);

// Json::StyledWriter's text of v; never throws.
TEV_EXPORT std::string writeStyled(const Json::Value& v);

// ---- structure --------------------------------------------------------------------------------------------
inline bool isObject(const Json::Value& v) { return v.type() == Json::objectValue; }
inline bool isArray(const Json::Value& v) { return v.type() == Json::arrayValue; }

// The member key of obj, or nullptr when obj is not an object or has no such member.
TEV_EXPORT const Json::Value* find(const Json::Value& obj, const char* key);
inline bool has(const Json::Value& obj, const char* key) { return find(obj, key) != nullptr; }

// The member key of obj, or a null value. Never inserts.
TEV_EXPORT const Json::Value& get(const Json::Value& obj, const char* key);

// Number of elements of an array (0 for anything else) and the element i (null value when out of range).
TEV_EXPORT Json::ArrayIndex size(const Json::Value& arr);
TEV_EXPORT const Json::Value& at(const Json::Value& arr, Json::ArrayIndex i);

// Member names of an object (empty for anything else).
TEV_EXPORT std::vector<std::string> memberNames(const Json::Value& obj);

// Calls fn(key, keyLength, value) for each member of obj, in key order; nothing for anything but an object.
// Reading a record this way looks each member up once instead of looking each key up in the object.
template <class F>
void forEachMember(const Json::Value& obj, F&& fn)
{
    if (!isObject(obj))
        return;
    for (auto it = obj.begin(), last = obj.end(); it != last; ++it) {
        const char* end = nullptr;
        const char* key = it.memberName(&end);
        fn(key, size_t(end - key), *it);
    }
}

// The names of the members a reader looks for, each with its length, listed once (a static of the reader).
class TEV_EXPORT Keys
{
public:
    static constexpr std::size_t kMax = 32;
    // At most kMax names; the index of a name is its place in the list.
    Keys(std::initializer_list<const char*> names);
    std::size_t size() const { return m_count; }
    // The index of the name [key, key + length), or -1.
    int indexOf(const char* key, std::size_t length) const;

private:
    const char* m_names[kMax] = {};
    std::size_t m_lengths[kMax] = {};
    std::size_t m_count = 0;
};

// The members of obj named by keys, found in one walk over obj's members: a reader of many keys (a control's
// "attr", say) looks each member up once instead of searching obj for each key. Nothing is found in anything
// but an object. The record points into obj: it is read while obj stays as it is.
class TEV_EXPORT Record
{
public:
    Record(const Json::Value& obj, const Keys& keys);
    // The member of the index-th name of keys, or nullptr.
    const Json::Value* operator[](std::size_t index) const { return index < Keys::kMax ? m_found[index] : nullptr; }

private:
    const Json::Value* m_found[Keys::kMax] = {};
};

// Moves the member key of obj into out and removes it from obj; false (out untouched) when obj is not an object
// or has no such member.
TEV_EXPORT bool take(Json::Value& obj, const char* key, Json::Value& out);

// Writable member of obj: turns a null obj into an object; a non-object obj is replaced by an empty object.
TEV_EXPORT Json::Value& member(Json::Value& obj, const char* key);

// ---- scalar conversions: nullopt when the value has another type or does not fit ---------------------------
// Numbers (integral or real, reals truncated toward zero when they fit) and booleans.
TEV_EXPORT std::optional<int> toInt(const Json::Value& v);
TEV_EXPORT std::optional<unsigned int> toUInt(const Json::Value& v);
TEV_EXPORT std::optional<qint64> toInt64(const Json::Value& v);
TEV_EXPORT std::optional<double> toDouble(const Json::Value& v);
// true/false, or any number (non-zero is true).
TEV_EXPORT std::optional<bool> toBool(const Json::Value& v);
// Strings only.
TEV_EXPORT std::optional<std::string> toString(const Json::Value& v);
// Strings, numbers and booleans as jsoncpp's asString would give them; null, arrays and objects are absent.
TEV_EXPORT std::optional<std::string> scalarToString(const Json::Value& v);

// ---- member reads with a default -------------------------------------------------------------------------
TEV_EXPORT int getInt(const Json::Value& obj, const char* key, int def = 0);
TEV_EXPORT unsigned int getUInt(const Json::Value& obj, const char* key, unsigned int def = 0);
TEV_EXPORT double getDouble(const Json::Value& obj, const char* key, double def = 0.0);
TEV_EXPORT bool getBool(const Json::Value& obj, const char* key, bool def = false);
TEV_EXPORT std::string getString(const Json::Value& obj, const char* key, const std::string& def = std::string());
TEV_EXPORT QString getQString(const Json::Value& obj, const char* key, const QString& def = QString());

// Reads into out only when the member exists with a usable type; returns whether it did.
TEV_EXPORT bool read(const Json::Value& obj, const char* key, int& out);
TEV_EXPORT bool read(const Json::Value& obj, const char* key, unsigned int& out);
TEV_EXPORT bool read(const Json::Value& obj, const char* key, double& out);
TEV_EXPORT bool read(const Json::Value& obj, const char* key, bool& out);
TEV_EXPORT bool read(const Json::Value& obj, const char* key, std::string& out);
TEV_EXPORT bool read(const Json::Value& obj, const char* key, QString& out);

// Reads a member found already (nullptr: absent) into out when it has a usable type; returns whether it did.
TEV_EXPORT bool read(const Json::Value* member, int& out);
TEV_EXPORT bool read(const Json::Value* member, unsigned int& out);
TEV_EXPORT bool read(const Json::Value* member, double& out);
TEV_EXPORT bool read(const Json::Value* member, bool& out);
TEV_EXPORT bool read(const Json::Value* member, std::string& out);
TEV_EXPORT bool read(const Json::Value* member, QString& out);

inline QString toQString(const std::string& s) { return QString::fromUtf8(s.data(), int(s.size())); }
inline std::string fromQString(const QString& s) { return s.toUtf8().toStdString(); }

} // namespace json
} // namespace TEVQtLib
