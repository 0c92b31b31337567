#include "TEVJson.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

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

// One copy of each member name that documents repeat, shared by every tree the plain reader builds: such a tree
// points at the copy instead of allocating (and later freeing) one per member. Strings are not shared: most
// are names and captions met once, which would only crowd the pool's table out of the cache. The copies live
// as long as the process; the pool stops taking names once full, and names that are long or hold a zero byte
// are never taken (jsoncpp measures a shared name up to its first zero).
class NamePool
{
public:
    static constexpr std::size_t kMaxLength = 40;
    static constexpr std::size_t kMaxNames = 4096;

    // The pooled copy of [text, text + length), zero-terminated; nullptr when the text is not pooled.
    const char* intern(const char* text, std::size_t length)
    {
        if (length > kMaxLength)
            return nullptr;
        std::uint32_t hash = 2166136261u;
        bool zero = false;
        for (std::size_t i = 0; i < length; ++i) {
            zero |= text[i] == '\0';
            hash = (hash ^ std::uint8_t(text[i])) * 16777619u;
        }
        if (zero)
            return nullptr;
        std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = m_slots[i];
            if (!slot.text)
                break;
            if (slot.hash == hash && slot.length == length && std::memcmp(slot.text, text, length) == 0)
                return slot.text;
        }
        if (m_count >= kMaxNames)
            return nullptr;
        if ((m_count + 1) * 2 > m_slots.size()) {
            grow();
            mask = m_slots.size() - 1;
        }
        char* copy = store(text, length);
        std::size_t i = hash & mask;
        while (m_slots[i].text)
            i = (i + 1) & mask;
        m_slots[i] = Slot{copy, std::uint32_t(length), hash};
        ++m_count;
        return copy;
    }

    // The pool, or nullptr while another thread's reader holds it (the reader then allocates its names).
    static NamePool* acquire(std::unique_lock<std::mutex>& lock)
    {
        static NamePool* const pool = new NamePool; // never freed: trees anywhere may point into it
        static std::mutex mutex;
        lock = std::unique_lock<std::mutex>(mutex, std::try_to_lock);
        return lock.owns_lock() ? pool : nullptr;
    }

private:
    struct Slot {
        const char* text = nullptr;
        std::uint32_t length = 0;
        std::uint32_t hash = 0;
    };
    static constexpr std::size_t kBlock = 16384;

    NamePool() : m_slots(1024) {}

    void grow()
    {
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        const std::size_t mask = m_slots.size() - 1;
        for (const Slot& slot : old) {
            if (!slot.text)
                continue;
            std::size_t i = slot.hash & mask;
            while (m_slots[i].text)
                i = (i + 1) & mask;
            m_slots[i] = slot;
        }
    }

    char* store(const char* text, std::size_t length)
    {
        if (m_blocks.empty() || kBlock - m_used < length + 1) {
            std::unique_ptr<char[]> block(new char[kBlock]);
            m_blocks.push_back(std::move(block));
            m_used = 0;
        }
        char* copy = m_blocks.back().get() + m_used;
        std::memcpy(copy, text, length);
        copy[length] = '\0';
        m_used += length + 1;
        return copy;
    }

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::size_t m_used = 0;
};

// A reader for the plain JSON that pages, styles and themes are written in: objects, arrays, strings with the
// one-letter escapes, integers of up to 18 digits, true, false and null, between blanks. For such text it
// builds the tree jsoncpp's Reader builds (the same value types, integers included); at anything else
// (comments, reals, long integers, Unicode escapes, syntax errors, text after the value, nesting deeper than the
// limit) it gives up, and the full reader decides. It is several times faster than the full reader and spares
// the separate depth scan, which the full reader needs first. Member names are taken from the name pool.
class PlainReader
{
public:
    PlainReader(const char* begin, const char* end, int maxDepth) : m_p(begin), m_end(end), m_maxDepth(maxDepth)
    {
        m_pool = NamePool::acquire(m_poolLock);
    }

    bool read(Json::Value& out)
    {
        skipBlanks();
        if (!readValue(out, 0))
            return false;
        skipBlanks();
        return m_p == m_end;
    }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

    void skipBlanks()
    {
        const char* p = m_p;
        for (;;) {
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
            // Indented text: runs of spaces are passed eight bytes at a time, up to the first other byte.
            while (m_end - p >= 8) {
                std::uint64_t word;
                std::memcpy(&word, p, 8);
                const std::uint64_t other = word ^ 0x2020202020202020ull;
                if (other) {
                    p += __builtin_ctzll(other) / 8;
                    break;
                }
                p += 8;
            }
#endif
            if (p >= m_end || !isBlank(*p))
                break;
            ++p;
        }
        m_p = p;
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
        out.swapPayload(value);
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
        Json::Value number(Json::Value::LargestInt(negative ? -std::int64_t(value) : std::int64_t(value)));
        out.swapPayload(number);
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

    const char* pooled(const char* begin, const char* end)
    {
        return m_pool ? m_pool->intern(begin, std::size_t(end - begin)) : nullptr;
    }

    bool readString(Json::Value& out)
    {
        const char* begin = nullptr;
        const char* end = nullptr;
        if (!readText(begin, end))
            return false;
        Json::Value text(begin, end);
        out.swapPayload(text);
        return true;
    }

    bool readArray(Json::Value& out, int depth)
    {
        if (depth > m_maxDepth)
            return false;
        ++m_p;
        Json::Value array(Json::arrayValue);
        out.swapPayload(array);
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
        Json::Value object(Json::objectValue);
        out.swapPayload(object);
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
            const char* key = pooled(begin, end);
            Json::Value* member = key ? &out[Json::StaticString(key)] : out.demand(begin, end);
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
    std::unique_lock<std::mutex> m_poolLock;
    NamePool* m_pool = nullptr;
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

namespace {

// The thread that frees released trees, started with the first one. Its object is a static of its function, so
// the queue is emptied and the thread joined at exit; a tree released after that is freed at once.
std::atomic<bool> g_releaserGone{false};

class TreeReleaser
{
public:
    TreeReleaser() = default;
    TreeReleaser(const TreeReleaser&) = delete;
    TreeReleaser& operator=(const TreeReleaser&) = delete;

    ~TreeReleaser()
    {
        g_releaserGone = true;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        if (m_thread.joinable())
            m_thread.join();
        m_queue.clear();
    }

    // False when no thread could be started: the caller then frees the tree itself.
    bool add(std::shared_ptr<const Json::Value>& tree)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_thread.joinable()) {
                try {
                    m_thread = std::thread([this] { run(); });
                } catch (...) {
                    return false;
                }
            }
            m_queue.push_back(std::move(tree));
        }
        m_wake.notify_one();
        return true;
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_queue.empty())
                return;
            std::vector<std::shared_ptr<const Json::Value>> batch;
            batch.swap(m_queue);
            lock.unlock();
            batch.clear();
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<std::shared_ptr<const Json::Value>> m_queue;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace

void releaseLater(std::shared_ptr<const Json::Value> tree)
{
    // Only a tree held here alone is worth the hand-over; another holder frees it when it lets go.
    if (!tree || tree.use_count() != 1 || g_releaserGone)
        return;
    try {
        static TreeReleaser releaser;
        releaser.add(tree);
    } catch (...) {
        // No releaser: the tree is freed here below.
    }
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

Keys::Keys(std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        if (!name || m_count == kMax)
            continue;
        m_names[m_count] = name;
        m_lengths[m_count] = std::strlen(name);
        ++m_count;
    }
}

int Keys::indexOf(const char* key, std::size_t length) const
{
    for (std::size_t i = 0; i < m_count; ++i) {
        if (m_lengths[i] == length && std::memcmp(m_names[i], key, length) == 0)
            return int(i);
    }
    return -1;
}

Record::Record(const Json::Value& obj, const Keys& keys)
{
    forEachMember(obj, [&](const char* key, std::size_t length, const Json::Value& value) {
        const int index = keys.indexOf(key, length);
        if (index >= 0)
            m_found[index] = &value;
    });
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
bool readMember(const Json::Value* member, T& out, F conv)
{
    if (!member)
        return false;
    const auto r = conv(*member);
    if (!r)
        return false;
    out = *r;
    return true;
}
} // namespace

bool read(const Json::Value* member, int& out) { return readMember(member, out, toInt); }
bool read(const Json::Value* member, unsigned int& out) { return readMember(member, out, toUInt); }
bool read(const Json::Value* member, double& out) { return readMember(member, out, toDouble); }
bool read(const Json::Value* member, bool& out) { return readMember(member, out, toBool); }
bool read(const Json::Value* member, std::string& out) { return readMember(member, out, toString); }
bool read(const Json::Value* member, QString& out)
{
    const char* begin = nullptr;
    const char* end = nullptr;
    if (!member || member->type() != Json::stringValue)
        return false;
    if (!member->getString(&begin, &end))
        begin = end = "";
    out = QString::fromUtf8(begin, int(end - begin));
    return true;
}

bool read(const Json::Value& obj, const char* key, int& out) { return read(find(obj, key), out); }
bool read(const Json::Value& obj, const char* key, unsigned int& out) { return read(find(obj, key), out); }
bool read(const Json::Value& obj, const char* key, double& out) { return read(find(obj, key), out); }
bool read(const Json::Value& obj, const char* key, bool& out) { return read(find(obj, key), out); }
bool read(const Json::Value& obj, const char* key, std::string& out) { return read(find(obj, key), out); }
bool read(const Json::Value& obj, const char* key, QString& out) { return read(find(obj, key), out); }

} // namespace json
} // namespace TEVQtLib
