#include "TEVJson.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <type_traits>

namespace TEVQtLib {
namespace json {

namespace {
const Json::Value& nullValue()
{
    static const Json::Value v;
    return v;
}

template <typename T>
std::optional<T> fromDouble(double d)
{
    if (!std::isfinite(d))
        return std::nullopt;
    const double t = std::trunc(d);
    // The bounds are exact in double for every T used here (int, unsigned, qint64 via explicit check).
    if (t < double(std::numeric_limits<T>::lowest()) || t > double(std::numeric_limits<T>::max()))
        return std::nullopt;
    if (std::is_same<T, qint64>::value && t >= 9223372036854775807.0)
        return std::nullopt;
    return static_cast<T>(t);
}
} // namespace

int nestingDepth(const char* begin, const char* end, int limit)
{
    int depth = 0;
    int maxDepth = 0;
    bool inString = false;
    for (const char* p = begin; p < end; ++p) {
        const char c = *p;
        if (inString) {
            if (c == '\\')
                ++p;
            else if (c == '"')
                inString = false;
            continue;
        }
        switch (c) {
        case '"': inString = true; break;
        case '[':
        case '{':
            if (++depth > maxDepth) {
                maxDepth = depth;
                if (maxDepth >= limit)
                    return maxDepth;
            }
            break;
        case ']':
        case '}':
            if (depth > 0)
                --depth;
            break;
        default: break;
        }
    }
    return maxDepth;
}

namespace {

std::string depthRefusal(int maxDepth)
{
    return "JSON nesting deeper than " + std::to_string(maxDepth) + " levels";
}

// A reader with the rules of Json::Reader (comments allowed and dropped, no trailing commas, any value as the
// root, text after the first value ignored, no byte order mark skipped) that throws once a value sits inside
// more than stackLimit - 1 arrays and objects.
std::unique_ptr<Json::CharReader> makeReader(int stackLimit)
{
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    builder["allowComments"] = true;
    builder["allowTrailingCommas"] = false;
    builder["strictRoot"] = false;
    builder["allowDroppedNullPlaceholders"] = false;
    builder["allowNumericKeys"] = false;
    builder["allowSingleQuotes"] = false;
    builder["stackLimit"] = stackLimit;
    builder["failIfExtra"] = false;
    builder["rejectDupKeys"] = false;
    builder["allowSpecialFloats"] = false;
    builder["skipBom"] = false;
    return std::unique_ptr<Json::CharReader>(builder.newCharReader());
}

// The reader of a stack limit, made once per thread for the limit last asked for (readers keep state while they
// parse, so one is never shared between threads).
Json::CharReader& readerFor(int stackLimit)
{
    thread_local int cachedLimit = -1;
    thread_local std::unique_ptr<Json::CharReader> cached;
    if (!cached || cachedLimit != stackLimit) {
        cached = makeReader(stackLimit);
        cachedLimit = stackLimit;
    }
    return *cached;
}

enum class Outcome { Parsed, Failed, TooDeep };

// One parse with jsoncpp's own depth bound; the exception it throws past the bound is caught here.
Outcome parseBounded(const char* begin, const char* end, Json::Value& out, std::string* error, int stackLimit)
{
    try {
        std::string messages;
        if (readerFor(stackLimit).parse(begin, end, &out, error ? &messages : nullptr))
            return Outcome::Parsed;
        if (error)
            *error = messages;
        return Outcome::Failed;
    } catch (const std::exception& e) {
        if (std::strstr(e.what(), "stackLimit"))
            return Outcome::TooDeep;
        if (error)
            *error = e.what();
    } catch (...) {
        if (error)
            *error = "unknown JSON error";
    }
    return Outcome::Failed;
}

// A reader for the plain JSON that pages, styles and themes are written in: objects, arrays, strings with the
// one-letter escapes, integers of up to 18 digits, true, false and null, between blanks. For such text it
// builds the tree jsoncpp's Reader builds (the same value types, integers included); at anything else
// (comments, reals, long integers, Unicode escapes, syntax errors, text after the value, nesting deeper than the
// limit) it gives up, and the full reader decides. It is several times faster than the full reader and spares
// the separate depth scan, which the full reader needs first.
class PlainReader
{
public:
    PlainReader(const char* begin, const char* end, int maxDepth) : m_p(begin), m_end(end), m_maxDepth(maxDepth) {}

    bool read(Json::Value& out)
    {
        skipBlanks();
        if (!readValue(out, 0))
            return false;
        skipBlanks();
        return m_p == m_end;
    }

private:
    void skipBlanks()
    {
        while (m_p < m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t'))
            ++m_p;
    }

    bool readValue(Json::Value& out, int depth)
    {
        if (m_p >= m_end)
            return false;
        switch (*m_p) {
        case '{':
            return readObject(out, depth + 1);
        case '[':
            return readArray(out, depth + 1);
        case '"':
            return readString(out);
        case 't':
            return readWord("true", 4, Json::Value(true), out);
        case 'f':
            return readWord("false", 5, Json::Value(false), out);
        case 'n':
            return readWord("null", 4, Json::Value(), out);
        default:
            return readInteger(out);
        }
    }

    bool readWord(const char* word, std::ptrdiff_t length, Json::Value value, Json::Value& out)
    {
        if (m_end - m_p < length || std::memcmp(m_p, word, std::size_t(length)) != 0)
            return false;
        m_p += length;
        out = std::move(value);
        return true;
    }

    // jsoncpp's integer rule (of the reader behind this one): a number that fits a 64-bit signed integer is a
    // signed integer; with at most 18 digits every one does.
    bool readInteger(Json::Value& out)
    {
        const bool negative = *m_p == '-';
        if (negative)
            ++m_p;
        const char* digits = m_p;
        std::uint64_t value = 0;
        while (m_p < m_end && *m_p >= '0' && *m_p <= '9') {
            if (m_p - digits >= 18)
                return false;
            value = value * 10 + std::uint64_t(*m_p - '0');
            ++m_p;
        }
        if (m_p == digits || (m_p < m_end && (*m_p == '.' || *m_p == 'e' || *m_p == 'E')))
            return false;
        out = Json::Value(Json::Value::LargestInt(negative ? -std::int64_t(value) : std::int64_t(value)));
        return true;
    }

    // The text of a string at m_p (on its opening quote): [begin, end) of the input when it has no escape,
    // else decoded into m_buffer.
    bool readText(const char*& begin, const char*& end)
    {
        const char* start = ++m_p;
        while (m_p < m_end && *m_p != '"' && *m_p != '\\')
            ++m_p;
        if (m_p >= m_end)
            return false;
        if (*m_p == '"') {
            begin = start;
            end = m_p++;
            return true;
        }
        m_buffer.assign(start, m_p);
        while (m_p < m_end) {
            const char c = *m_p++;
            if (c == '"') {
                begin = m_buffer.data();
                end = begin + m_buffer.size();
                return true;
            }
            if (c != '\\') {
                m_buffer.push_back(c);
                continue;
            }
            if (m_p >= m_end)
                return false;
            switch (*m_p++) {
            case '"': m_buffer.push_back('"'); break;
            case '/': m_buffer.push_back('/'); break;
            case '\\': m_buffer.push_back('\\'); break;
            case 'b': m_buffer.push_back('\b'); break;
            case 'f': m_buffer.push_back('\f'); break;
            case 'n': m_buffer.push_back('\n'); break;
            case 'r': m_buffer.push_back('\r'); break;
            case 't': m_buffer.push_back('\t'); break;
            default: return false; // Unicode escapes and bad ones
            }
        }
        return false;
    }

    bool readString(Json::Value& out)
    {
        const char* begin = nullptr;
        const char* end = nullptr;
        if (!readText(begin, end))
            return false;
        out = Json::Value(begin, end);
        return true;
    }

    bool readArray(Json::Value& out, int depth)
    {
        if (depth > m_maxDepth)
            return false;
        ++m_p;
        out = Json::Value(Json::arrayValue);
        skipBlanks();
        if (m_p < m_end && *m_p == ']') {
            ++m_p;
            return true;
        }
        for (Json::ArrayIndex index = 0;; ++index) {
            skipBlanks();
            if (!readValue(out[index], depth))
                return false;
            skipBlanks();
            if (m_p >= m_end)
                return false;
            if (*m_p == ']') {
                ++m_p;
                return true;
            }
            if (*m_p++ != ',')
                return false;
        }
    }

    bool readObject(Json::Value& out, int depth)
    {
        if (depth > m_maxDepth)
            return false;
        ++m_p;
        out = Json::Value(Json::objectValue);
        skipBlanks();
        if (m_p < m_end && *m_p == '}') {
            ++m_p;
            return true;
        }
        for (;;) {
            skipBlanks();
            const char* begin = nullptr;
            const char* end = nullptr;
            if (m_p >= m_end || *m_p != '"' || !readText(begin, end))
                return false;
            // A later member of the same name replaces the earlier one, as in jsoncpp.
            Json::Value* member = out.demand(begin, end);
            skipBlanks();
            if (m_p >= m_end || *m_p++ != ':')
                return false;
            skipBlanks();
            if (!readValue(*member, depth))
                return false;
            skipBlanks();
            if (m_p >= m_end)
                return false;
            if (*m_p == '}') {
                ++m_p;
                return true;
            }
            if (*m_p++ != ',')
                return false;
        }
    }

    const char* m_p;
    const char* m_end;
    int m_maxDepth;
    std::string m_buffer;
};

} // namespace

bool parse(const char* begin, const char* end, Json::Value& out, std::string* error, int maxDepth)
{
    out = Json::Value();
    if (!begin || end < begin) {
        if (error)
            *error = "no input";
        return false;
    }
    maxDepth = std::max(0, std::min(maxDepth, std::numeric_limits<int>::max() - 1));
    // Plain documents (what the framework itself writes) take the fast reader; anything else jsoncpp's.
    try {
        Json::Value value;
        if (PlainReader(begin, end, maxDepth).read(value)) {
            out.swap(value);
            return true;
        }
    } catch (...) {
        // Out of memory on the way: the full reader below reports it.
    }
    // jsoncpp counts the values being read, scalars included, so a scalar inside maxDepth containers is one
    // over a stack limit of maxDepth. The parse is bounded at maxDepth; only when that bound is hit does a scan of
    // the brackets tell such a document (then read again with room for its scalars) from one nested too deep.
    Outcome outcome = parseBounded(begin, end, out, error, maxDepth);
    if (outcome == Outcome::TooDeep && nestingDepth(begin, end, maxDepth + 1) <= maxDepth) {
        out = Json::Value();
        outcome = parseBounded(begin, end, out, error, maxDepth + 1);
    }
    if (outcome == Outcome::Parsed)
        return true;
    if (outcome == Outcome::TooDeep && error)
        *error = depthRefusal(maxDepth);
    out = Json::Value();
    return false;
}

bool parse(const std::string& text, Json::Value& out, std::string* error, int maxDepth)
{
    return parse(text.data(), text.data() + text.size(), out, error, maxDepth);
}

bool parse(const QByteArray& text, Json::Value& out, std::string* error, int maxDepth)
{
    return parse(text.constData(), text.constData() + text.size(), out, error, maxDepth);
}

std::string writeStyled(const Json::Value& v)
{
    try {
        Json::StyledWriter w;
        return w.write(v);
    } catch (...) {
        return std::string();
    }
}

const Json::Value* find(const Json::Value& obj, const char* key)
{
    if (!isObject(obj) || !key)
        return nullptr;
    return obj.find(key, key + std::char_traits<char>::length(key));
}

const Json::Value& get(const Json::Value& obj, const char* key)
{
    const Json::Value* v = find(obj, key);
    return v ? *v : nullValue();
}

Json::ArrayIndex size(const Json::Value& arr)
{
    return isArray(arr) ? arr.size() : 0;
}

const Json::Value& at(const Json::Value& arr, Json::ArrayIndex i)
{
    if (!isArray(arr) || i >= arr.size())
        return nullValue();
    return arr[i];
}

std::vector<std::string> memberNames(const Json::Value& obj)
{
    if (!isObject(obj))
        return {};
    return obj.getMemberNames();
}

bool take(Json::Value& obj, const char* key, Json::Value& out)
{
    if (!key || !find(obj, key))
        return false;
    return obj.removeMember(key, &out);
}

Json::Value& member(Json::Value& obj, const char* key)
{
    if (!isObject(obj))
        obj = Json::Value(Json::objectValue);
    return obj[key];
}

std::optional<int> toInt(const Json::Value& v)
{
    switch (v.type()) {
    case Json::intValue:
        if (v.asLargestInt() < std::numeric_limits<int>::min() || v.asLargestInt() > std::numeric_limits<int>::max())
            return std::nullopt;
        return int(v.asLargestInt());
    case Json::uintValue:
        if (v.asLargestUInt() > Json::LargestUInt(std::numeric_limits<int>::max()))
            return std::nullopt;
        return int(v.asLargestUInt());
    case Json::realValue: return fromDouble<int>(v.asDouble());
    case Json::booleanValue: return v.asBool() ? 1 : 0;
    default: return std::nullopt;
    }
}

std::optional<unsigned int> toUInt(const Json::Value& v)
{
    switch (v.type()) {
    case Json::intValue:
        if (v.asLargestInt() < 0 || v.asLargestInt() > Json::LargestInt(std::numeric_limits<unsigned int>::max()))
            return std::nullopt;
        return static_cast<unsigned int>(v.asLargestInt());
    case Json::uintValue:
        if (v.asLargestUInt() > std::numeric_limits<unsigned int>::max())
            return std::nullopt;
        return static_cast<unsigned int>(v.asLargestUInt());
    case Json::realValue: return fromDouble<unsigned int>(v.asDouble());
    case Json::booleanValue: return v.asBool() ? 1u : 0u;
    default: return std::nullopt;
    }
}

std::optional<qint64> toInt64(const Json::Value& v)
{
    switch (v.type()) {
    case Json::intValue: return qint64(v.asLargestInt());
    case Json::uintValue:
        if (v.asLargestUInt() > Json::LargestUInt(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return qint64(v.asLargestUInt());
    case Json::realValue: return fromDouble<qint64>(v.asDouble());
    case Json::booleanValue: return v.asBool() ? 1 : 0;
    default: return std::nullopt;
    }
}

std::optional<double> toDouble(const Json::Value& v)
{
    switch (v.type()) {
    case Json::intValue: return double(v.asLargestInt());
    case Json::uintValue: return double(v.asLargestUInt());
    case Json::realValue: return v.asDouble();
    case Json::booleanValue: return v.asBool() ? 1.0 : 0.0;
    default: return std::nullopt;
    }
}

std::optional<bool> toBool(const Json::Value& v)
{
    switch (v.type()) {
    case Json::booleanValue: return v.asBool();
    case Json::intValue: return v.asLargestInt() != 0;
    case Json::uintValue: return v.asLargestUInt() != 0;
    case Json::realValue: return v.asDouble() != 0.0;
    default: return std::nullopt;
    }
}

std::optional<std::string> toString(const Json::Value& v)
{
    if (v.type() != Json::stringValue)
        return std::nullopt;
    const char* b = nullptr;
    const char* e = nullptr;
    if (!v.getString(&b, &e))
        return std::string();
    return std::string(b, e);
}

std::optional<std::string> scalarToString(const Json::Value& v)
{
    switch (v.type()) {
    case Json::stringValue: return toString(v);
    case Json::intValue:
    case Json::uintValue:
    case Json::realValue:
    case Json::booleanValue:
        try {
            return v.asString();
        } catch (...) {
            return std::nullopt;
        }
    default: return std::nullopt;
    }
}

int getInt(const Json::Value& obj, const char* key, int def)
{
    return toInt(get(obj, key)).value_or(def);
}

unsigned int getUInt(const Json::Value& obj, const char* key, unsigned int def)
{
    return toUInt(get(obj, key)).value_or(def);
}

double getDouble(const Json::Value& obj, const char* key, double def)
{
    return toDouble(get(obj, key)).value_or(def);
}

bool getBool(const Json::Value& obj, const char* key, bool def)
{
    return toBool(get(obj, key)).value_or(def);
}

std::string getString(const Json::Value& obj, const char* key, const std::string& def)
{
    return toString(get(obj, key)).value_or(def);
}

QString getQString(const Json::Value& obj, const char* key, const QString& def)
{
    const auto s = toString(get(obj, key));
    return s ? toQString(*s) : def;
}

namespace {
template <typename T, typename F>
bool readWith(const Json::Value& obj, const char* key, T& out, F conv)
{
    const Json::Value* v = find(obj, key);
    if (!v)
        return false;
    const auto r = conv(*v);
    if (!r)
        return false;
    out = *r;
    return true;
}
} // namespace

bool read(const Json::Value& obj, const char* key, int& out) { return readWith(obj, key, out, toInt); }
bool read(const Json::Value& obj, const char* key, unsigned int& out) { return readWith(obj, key, out, toUInt); }
bool read(const Json::Value& obj, const char* key, double& out) { return readWith(obj, key, out, toDouble); }
bool read(const Json::Value& obj, const char* key, bool& out) { return readWith(obj, key, out, toBool); }
bool read(const Json::Value& obj, const char* key, std::string& out) { return readWith(obj, key, out, toString); }
bool read(const Json::Value& obj, const char* key, QString& out)
{
    std::string s;
    if (!read(obj, key, s))
        return false;
    out = toQString(s);
    return true;
}

} // namespace json
} // namespace TEVQtLib
