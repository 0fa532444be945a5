// Insert-style formatting: parse the text, read the inserts, write what fits.
#include "framework/diag/oxFormatMessage.h"
#include <cstdio>
#include <cstring>

namespace {

constexpr unsigned maxInsert = 99;
constexpr std::size_t maxForm = 24; // characters between the exclamation marks

using Kind = oxInsertKind;

struct InsertForm {
    Kind kind = Kind::text;
    char conversion = 's';
    char format[maxForm + 8] = "%s"; // printf form with this platform's length modifier
};

struct Token {
    enum Kind : std::uint8_t { character, space, insert, literal, end, invalid } kind = end;
    char ch = 0;
    unsigned number = 0;
    const char* raw = nullptr; // a literal: the sequence as written
    std::size_t rawLength = 0;
    InsertForm form;
};

bool isFlag(char c) { return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length modifiers, longest first. Windows' "l" is 32 bits.
enum class Size : std::uint8_t { normal, half, wide64, pointerSized };
struct Modifier {
    const char* text;
    std::size_t length;
    Size size;
};
constexpr Modifier modifiers[] = {{"I64", 3, Size::wide64}, {"I32", 3, Size::normal},
                                  {"ll", 2, Size::wide64},  {"hh", 2, Size::half},
                                  {"I", 1, Size::pointerSized}, {"h", 1, Size::half},
                                  {"l", 1, Size::normal}};

// Parses the type between the exclamation marks ("-10s", "lu", "I64x") into a printf format
// for this platform. Combinations printf leaves undefined are refused.
bool parseForm(const char* s, std::size_t n, InsertForm& form) {
    if (n == 0 || n > maxForm)
        return false;
    std::size_t i = 0;
    char* out = form.format;
    *out++ = '%';
    bool alternate = false, zeroPad = false, precision = false;
    for (; i < n && isFlag(s[i]); ++i) {
        alternate |= s[i] == '#';
        zeroPad |= s[i] == '0';
        *out++ = s[i];
    }
    while (i < n && isDigit(s[i]))
        *out++ = s[i++];
    if (i < n && s[i] == '.') {
        precision = true;
        for (*out++ = s[i++]; i < n && isDigit(s[i]);)
            *out++ = s[i++];
    }
    Size size = Size::normal;
    bool windowsLong = false;
    for (const Modifier& m : modifiers) {
        if (n - i > m.length && std::memcmp(s + i, m.text, m.length) == 0) {
            size = m.size;
            windowsLong = std::strcmp(m.text, "l") == 0;
            i += m.length;
            break;
        }
    }
    if (i + 1 != n)
        return false;
    const char c = s[i];
    const bool integer = std::strchr("diuxXo", c) != nullptr;
    if (alternate && !(c == 'x' || c == 'X' || c == 'o'))
        return false;
    if (!integer && (zeroPad || (precision && c != 's') || size == Size::wide64 ||
                     size == Size::pointerSized || (size == Size::half && c == 'p')))
        return false;
    if (windowsLong && !integer)
        return false; // "ls", "lc": wide text or character
    form.conversion = c;
    if (integer) {
        const bool wide = size == Size::wide64 || size == Size::pointerSized;
        form.kind = size == Size::pointerSized ? Kind::pointer
                    : wide                     ? Kind::number64
                                               : Kind::number32;
        if (wide) {
            *out++ = 'l';
            *out++ = 'l';
        } else if (size == Size::half) {
            *out++ = 'h';
        }
        *out++ = c;
    } else if (c == 'c' || c == 's') {
        form.kind = c == 'c' ? Kind::number32 : Kind::text;
        *out++ = c;
    } else if (c == 'p') {
        // Upper-case hexadecimal digits of the full pointer width, as Windows shows pointers.
        form.kind = Kind::pointer;
        const char digits[] = {'.', static_cast<char>('0' + 2 * sizeof(void*) / 10),
                               static_cast<char>('0' + 2 * sizeof(void*) % 10), 'l', 'l', 'X'};
        for (char d : digits)
            *out++ = d;
    } else {
        return false; // '*', floating point, wide texts (S, C, w), unknown types
    }
    *out = 0;
    return true;
}

// Reads the next piece of the text at p; advances p. With ignore, inserts and '%' pairs other
// than %0, %n, %r and %t come back as literals.
Token next(const char*& p, bool joinLines, bool ignore) {
    Token t;
    if (*p == 0)
        return t;
    if (*p != '%') {
        if (joinLines && (*p == '\r' || *p == '\n')) {
            if (p[0] == '\r' && p[1] == '\n')
                ++p;
            ++p;
            t.kind = Token::space;
            return t;
        }
        t.kind = Token::character;
        t.ch = *p++;
        return t;
    }
    const char* start = p++;
    const auto literal = [&] {
        t.kind = Token::literal;
        t.raw = start;
        t.rawLength = static_cast<std::size_t>(p - start);
        return t;
    };
    if (*p >= '1' && *p <= '9') {
        t.kind = Token::insert;
        t.number = static_cast<unsigned>(*p++ - '0');
        if (isDigit(*p))
            t.number = t.number * 10 + static_cast<unsigned>(*p++ - '0');
        const char* close = *p == '!' ? std::strchr(p + 1, '!') : nullptr;
        if (ignore) {
            p = close ? close + 1 : p;
            return literal();
        }
        if (*p == '!') {
            if (!close || !parseForm(p + 1, static_cast<std::size_t>(close - p - 1), t.form)) {
                t.kind = Token::invalid;
                return t;
            }
            p = close + 1;
        }
        return t;
    }
    switch (*p) {
    case 0:
        t.kind = Token::invalid;
        return t;
    case '0':
        ++p;
        t.kind = Token::end;
        return t;
    case 'n':
        t.ch = '\n'; // LF on this platform
        break;
    case 'r':
        t.ch = '\r';
        break;
    case 't':
        t.ch = '\t';
        break;
    default:
        if (ignore) {
            ++p;
            return literal();
        }
        t.ch = *p;
        break;
    }
    ++p;
    t.kind = Token::character;
    return t;
}

// Output that never passes buffer[size - 1].
class Writer {
  public:
    Writer(char* buffer, std::uint32_t size) : buffer_(buffer), size_(size) {}
    bool full() const { return full_; }
    std::uint32_t length() const { return pos_; }

    void put(char c) {
        if (pos_ + 1 < size_)
            buffer_[pos_++] = c;
        else
            full_ = true;
    }
    void put(const char* s, std::size_t n) {
        for (std::size_t i = 0; i < n && !full_; ++i)
            put(s[i]);
    }
    template <typename T> void print(const char* format, T value) {
        const std::uint32_t room = size_ - pos_;
        const int n = std::snprintf(buffer_ + pos_, room, format, value);
        if (n < 0) {
            full_ = true; // cannot happen with the formats built above
        } else if (static_cast<std::uint32_t>(n) < room) {
            pos_ += static_cast<std::uint32_t>(n);
        } else {
            pos_ = size_ - 1; // snprintf kept what fits and terminated it
            full_ = true;
        }
    }
    void terminate() { buffer_[pos_ < size_ ? pos_ : size_ - 1] = 0; }

  private:
    char* buffer_;
    std::uint32_t size_;
    std::uint32_t pos_ = 0;
    bool full_ = false;
};

void writeInsert(Writer& out, const InsertForm& form, std::uint64_t value) {
    switch (form.kind) {
    case Kind::text: {
        const char* s = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(value));
        out.print(form.format, s ? s : "(null)");
        break;
    }
    case Kind::number32: {
        const auto low = static_cast<std::uint32_t>(value);
        if (form.conversion == 'd' || form.conversion == 'i' || form.conversion == 'c')
            out.print(form.format, static_cast<int>(static_cast<std::int32_t>(low)));
        else
            out.print(form.format, static_cast<unsigned>(low));
        break;
    }
    case Kind::number64:
    case Kind::pointer:
        if (form.conversion == 'd' || form.conversion == 'i')
            out.print(form.format, static_cast<long long>(value));
        else
            out.print(form.format, static_cast<unsigned long long>(value));
        break;
    }
}

// The parse of the whole text: checks it and finds each named insert's kind and the highest.
struct Plan {
    bool named[maxInsert + 1] = {};
    Kind kinds[maxInsert + 1] = {};
    unsigned highest = 0;
};

oxFormatError check(const char* text, std::uint32_t flags, Plan& plan) {
    const bool ignore = (flags & oxFormatFlag::ignoreInserts) != 0;
    const bool join = (flags & oxFormatFlag::maxWidthMask) != 0;
    for (const char* p = text;;) {
        const Token t = next(p, join, ignore);
        if (t.kind == Token::end)
            return oxFormatError::none;
        if (t.kind == Token::invalid)
            return oxFormatError::invalidParameter;
        if (t.kind != Token::insert)
            continue;
        if (plan.named[t.number] && plan.kinds[t.number] != t.form.kind)
            return oxFormatError::conflictingInsert;
        plan.named[t.number] = true;
        plan.kinds[t.number] = t.form.kind;
        if (t.number > plan.highest)
            plan.highest = t.number;
    }
}

// Each named insert against the kind its argument has: the caller's word where it gives one,
// and an array element's width.
oxFormatError match(const Plan& plan, const oxInsertKind* kinds, bool array) {
    constexpr bool narrowElements = sizeof(std::uintptr_t) < sizeof(std::uint64_t);
    for (unsigned i = 1; i <= plan.highest; ++i) {
        if (!plan.named[i])
            continue;
        if ((kinds && kinds[i - 1] != plan.kinds[i]) ||
            (array && narrowElements && plan.kinds[i] == Kind::number64))
            return oxFormatError::mismatchedInsert;
    }
    return oxFormatError::none;
}

std::uint32_t produce(const char* text, std::uint32_t flags, const std::uint64_t* values,
                      char* buffer, std::uint32_t size, oxFormatError* error) {
    const bool ignore = (flags & oxFormatFlag::ignoreInserts) != 0;
    const bool join = (flags & oxFormatFlag::maxWidthMask) != 0;
    Writer out(buffer, size);
    for (const char* p = text; !out.full();) {
        const Token t = next(p, join, ignore);
        if (t.kind == Token::end)
            break;
        if (t.kind == Token::character)
            out.put(t.ch);
        else if (t.kind == Token::space)
            out.put(' ');
        else if (t.kind == Token::literal)
            out.put(t.raw, t.rawLength);
        else
            writeInsert(out, t.form, values[t.number]);
    }
    out.terminate();
    if (out.full()) {
        if (error)
            *error = oxFormatError::insufficientBuffer;
        return 0;
    }
    if (error)
        *error = oxFormatError::none;
    return out.length();
}

// Common checks; on failure leaves an empty text in the buffer where there is one.
oxFormatError prepare(std::uint32_t flags, const char* text, char* buffer, std::uint32_t size,
                      std::uint32_t count, bool haveArguments, const oxInsertKind* kinds,
                      bool array, Plan& plan) {
    if (buffer && size > 0)
        buffer[0] = 0;
    if (!array && (flags & oxFormatFlag::argumentArray) != 0)
        return oxFormatError::invalidParameter;
    const std::uint32_t width = flags & oxFormatFlag::maxWidthMask;
    const std::uint32_t known = oxFormatFlag::maxWidthMask | oxFormatFlag::ignoreInserts |
                                oxFormatFlag::fromString | oxFormatFlag::argumentArray;
    if (!text || !buffer || size == 0 || (flags & oxFormatFlag::fromString) == 0 ||
        (flags & ~known) != 0 || (width != 0 && width != oxFormatFlag::maxWidthMask))
        return oxFormatError::invalidParameter;
    const oxFormatError parsed = check(text, flags, plan);
    if (parsed != oxFormatError::none)
        return parsed;
    if (plan.highest > 0 && (!haveArguments || plan.highest > count))
        return oxFormatError::missingInsert;
    return match(plan, kinds, array);
}

std::uint32_t fail(oxFormatError reason, oxFormatError* error) {
    if (error)
        *error = reason;
    return 0;
}

} // namespace

std::uint32_t oxFormatMessageV(std::uint32_t flags, const char* text, char* buffer,
                               std::uint32_t size, std::uint32_t count, va_list* arguments,
                               oxFormatError* error, const oxInsertKind* kinds) noexcept {
    Plan plan;
    const oxFormatError ready =
        prepare(flags, text, buffer, size, count, arguments != nullptr, kinds, false, plan);
    if (ready != oxFormatError::none)
        return fail(ready, error);
    std::uint64_t values[maxInsert + 1] = {};
    for (unsigned i = 1; i <= plan.highest; ++i) {
        const Kind kind = kinds ? kinds[i - 1] : plan.named[i] ? plan.kinds[i] : Kind::pointer;
        switch (kind) {
        case Kind::number32:
            values[i] = va_arg(*arguments, unsigned);
            break;
        case Kind::number64:
            values[i] = va_arg(*arguments, unsigned long long);
            break;
        case Kind::text:
            values[i] = reinterpret_cast<std::uintptr_t>(va_arg(*arguments, const char*));
            break;
        case Kind::pointer:
            values[i] = va_arg(*arguments, std::uintptr_t);
            break;
        }
    }
    return produce(text, flags, values, buffer, size, error);
}

std::uint32_t oxFormatMessageArray(std::uint32_t flags, const char* text, char* buffer,
                                   std::uint32_t size, std::uint32_t count,
                                   const std::uintptr_t* arguments, oxFormatError* error,
                                   const oxInsertKind* kinds) noexcept {
    Plan plan;
    const oxFormatError ready =
        prepare(flags, text, buffer, size, count, arguments != nullptr, kinds, true, plan);
    if (ready != oxFormatError::none)
        return fail(ready, error);
    std::uint64_t values[maxInsert + 1] = {};
    for (unsigned i = 1; i <= plan.highest; ++i)
        values[i] = arguments[i - 1];
    return produce(text, flags, values, buffer, size, error);
}
