#include "zk/formfile/FormBinary.h"

#include <cstring>

namespace zk::formfile {

namespace {

constexpr int kMaxDepth = 256;

enum : uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20,
    vaDouble = 21
};

class TStreamReader {
  public:
    TStreamReader(std::string_view Bytes, size_t Start, size_t End, const std::string& File)
        : FBytes(Bytes), FPos(Start), FEnd(End), FFile(File) {}

    size_t Pos() const { return FPos; }

    [[noreturn]] void Fail(const std::string& What, size_t At) const {
        throw EFormFileError(FFile + ": byte " + std::to_string(At) + ": " + What, 0,
                             static_cast<int>(At));
    }

    uint8_t Byte() {
        if (FPos >= FEnd) Fail("expected more data, found the end of the stream", FPos);
        return static_cast<uint8_t>(FBytes[FPos++]);
    }
    uint8_t PeekByte() {
        if (FPos >= FEnd) Fail("expected more data, found the end of the stream", FPos);
        return static_cast<uint8_t>(FBytes[FPos]);
    }
    std::string_view Take(uint64_t N) {
        if (N > FEnd - FPos) Fail("expected " + std::to_string(N) + " more bytes", FPos);
        std::string_view s = FBytes.substr(FPos, static_cast<size_t>(N));
        FPos += static_cast<size_t>(N);
        return s;
    }
    uint64_t Le(int N) {
        std::string_view s = Take(static_cast<uint64_t>(N));
        uint64_t v = 0;
        for (int i = N - 1; i >= 0; --i)
            v = v << 8 | static_cast<uint8_t>(s[static_cast<size_t>(i)]);
        return v;
    }
    std::string ShortStr() {
        uint8_t n = Byte();
        return std::string(Take(n));
    }

    // An integer value of any width, tag included; false when Tag is not an integer tag.
    bool Int(uint8_t Tag, TFormNodeValue& V) {
        switch (Tag) {
            case vaInt8:
                V.Int = static_cast<int8_t>(Le(1));
                V.StoredAs = TFormStoredAs::Int8;
                break;
            case vaInt16:
                V.Int = static_cast<int16_t>(Le(2));
                V.StoredAs = TFormStoredAs::Int16;
                break;
            case vaInt32:
                V.Int = static_cast<int32_t>(Le(4));
                V.StoredAs = TFormStoredAs::Int32;
                break;
            case vaInt64:
                V.Int = static_cast<int64_t>(Le(8));
                V.StoredAs = TFormStoredAs::Int64;
                break;
            default:
                return false;
        }
        V.Type = TFormValueType::Integer;
        return true;
    }

    TFormNode Object(int Depth) {
        if (Depth > kMaxDepth) Fail("objects nested too deeply", FPos);
        TFormNode n;
        uint8_t b = PeekByte();
        if ((b & 0xF0) == 0xF0) {
            ++FPos;
            if (b & 1)
                n.Kind = TFormObjectKind::Inherited;
            else if (b & 4)
                n.Kind = TFormObjectKind::Inline;
            if (b & 2) {
                size_t at = FPos;
                TFormNodeValue v;
                if (!Int(Byte(), v)) Fail("expected an integer child position", at);
                n.HasIndex = true;
                n.Index = v.Int;
            }
        }
        n.ClassName = ShortStr();
        if (n.ClassName.empty()) Fail("expected a class name", FPos - 1);
        n.Name = ShortStr();
        while (PeekByte() != vaNull) n.Properties.push_back(Property(Depth));
        ++FPos;
        while (PeekByte() != vaNull) n.Children.push_back(Object(Depth + 1));
        ++FPos;
        return n;
    }

    TFormNodeProperty Property(int Depth) {
        TFormNodeProperty p;
        p.Name = ShortStr();
        p.Value = Value(Depth + 1);
        return p;
    }

    TFormNodeValue Value(int Depth) {
        if (Depth > kMaxDepth) Fail("values nested too deeply", FPos);
        size_t at = FPos;
        uint8_t tag = Byte();
        TFormNodeValue v;
        if (Int(tag, v)) return v;
        auto bytesToUnits = [&](std::string_view s) {
            v.Str.resize(s.size());
            for (size_t i = 0; i < s.size(); ++i)
                v.Str[i] = static_cast<char16_t>(static_cast<unsigned char>(s[i]));
        };
        switch (tag) {
            case vaList:
                v.Type = TFormValueType::List;
                while (PeekByte() != vaNull) v.Items.push_back(Value(Depth + 1));
                ++FPos;
                break;
            case vaExtended:
            case vaSingle:
            case vaDate:
            case vaDouble:
            case vaCurrency: {
                v.Type = TFormValueType::Float;
                int size = tag == vaExtended ? 10 : tag == vaSingle ? 4 : 8;
                std::string_view s = Take(static_cast<uint64_t>(size));
                std::memcpy(v.Float.data(), s.data(), static_cast<size_t>(size));
                v.FloatType = tag == vaExtended ? TFormFloatType::Extended
                              : tag == vaSingle ? TFormFloatType::Single
                              : tag == vaDate   ? TFormFloatType::Date
                              : tag == vaDouble ? TFormFloatType::Double
                                                : TFormFloatType::Currency;
                if (tag == vaCurrency) {
                    std::memcpy(&v.Int, s.data(), 8);
                    v.Float = {};
                }
                break;
            }
            case vaString:
                v.Type = TFormValueType::String;
                v.StoredAs = TFormStoredAs::String;
                bytesToUnits(Take(Byte()));
                break;
            case vaLString:
            case vaUTF8String:
                v.Type = TFormValueType::String;
                v.StoredAs = tag == vaLString ? TFormStoredAs::LString : TFormStoredAs::UTF8String;
                bytesToUnits(Take(Le(4)));
                break;
            case vaWString: {
                v.Type = TFormValueType::String;
                v.StoredAs = TFormStoredAs::WString;
                uint64_t count = Le(4);
                std::string_view s = Take(count * 2);
                v.Str.resize(static_cast<size_t>(count));
                for (size_t i = 0; i < count; ++i)
                    v.Str[i] = static_cast<char16_t>(static_cast<uint8_t>(s[2 * i]) |
                                                     static_cast<uint8_t>(s[2 * i + 1]) << 8);
                break;
            }
            case vaIdent:
                v.Type = TFormValueType::Ident;
                v.Text = ShortStr();
                if (v.Text.empty()) Fail("expected an identifier", at + 1);
                break;
            case vaFalse:
                v.Type = TFormValueType::False;
                break;
            case vaTrue:
                v.Type = TFormValueType::True;
                break;
            case vaNil:
                v.Type = TFormValueType::Nil;
                break;
            case vaBinary:
                v.Type = TFormValueType::Binary;
                v.Text = std::string(Take(Le(4)));
                break;
            case vaSet:
                v.Type = TFormValueType::Set;
                for (;;) {
                    TFormNodeValue e;
                    e.Type = TFormValueType::Ident;
                    e.Text = ShortStr();
                    if (e.Text.empty()) break;
                    v.Items.push_back(std::move(e));
                }
                break;
            case vaCollection:
                v.Type = TFormValueType::Collection;
                while (PeekByte() != vaNull) {
                    TFormItem item;
                    size_t itemAt = FPos;
                    uint8_t t = Byte();
                    if (Int(t, item.Order) || t == vaIdent) {
                        if (t == vaIdent) {
                            item.Order.Type = TFormValueType::Ident;
                            item.Order.Text = ShortStr();
                        }
                        item.HasOrder = true;
                        itemAt = FPos;
                        t = Byte();
                    }
                    if (t != vaList) Fail("expected a collection item (value type 1)", itemAt);
                    while (PeekByte() != vaNull) item.Properties.push_back(Property(Depth + 1));
                    ++FPos;
                    v.Collection.push_back(std::move(item));
                }
                ++FPos;
                break;
            default:
                Fail("expected a value, found value type " + std::to_string(tag), at);
        }
        return v;
    }

  private:
    std::string_view FBytes;
    size_t FPos;
    size_t FEnd;
    const std::string& FFile;
};

// --- writing --------------------------------------------------------------------------------

class TStreamWriter {
  public:
    std::string Out;

    void Byte(uint8_t B) { Out.push_back(static_cast<char>(B)); }
    void Le(uint64_t V, int N) {
        for (int i = 0; i < N; ++i) Byte(static_cast<uint8_t>(V >> (8 * i)));
    }
    void ShortStr(const std::string& S) {
        if (S.size() > 255)
            throw EFormFileError(
                "a name longer than 255 bytes has no binary form: " + S.substr(0, 40) + "...", 0,
                0);
        Byte(static_cast<uint8_t>(S.size()));
        Out += S;
    }

    void Int(int64_t V, TFormStoredAs As) {
        bool fits8 = V >= -128 && V <= 127, fits16 = V >= -32768 && V <= 32767,
             fits32 = V >= INT32_MIN && V <= INT32_MAX;
        if (As == TFormStoredAs::Int64 || !fits32) {
            Byte(vaInt64);
            Le(static_cast<uint64_t>(V), 8);
        } else if (As == TFormStoredAs::Int32 || !fits16) {
            Byte(vaInt32);
            Le(static_cast<uint64_t>(V), 4);
        } else if (As == TFormStoredAs::Int16 || !fits8) {
            Byte(vaInt16);
            Le(static_cast<uint64_t>(V), 2);
        } else {
            Byte(vaInt8);
            Le(static_cast<uint64_t>(V), 1);
        }
    }

    void Str(const TFormNodeValue& V) {
        bool wide = false;
        for (char16_t u : V.Str) wide = wide || u > 255;
        TFormStoredAs as = V.StoredAs;
        if (wide && as != TFormStoredAs::WString) as = TFormStoredAs::Auto;
        if (as == TFormStoredAs::String && V.Str.size() > 255) as = TFormStoredAs::Auto;
        if (as == TFormStoredAs::Auto)
            as = wide                 ? TFormStoredAs::WString
                 : V.Str.size() > 255 ? TFormStoredAs::LString
                                      : TFormStoredAs::String;
        if (as == TFormStoredAs::WString) {
            Byte(vaWString);
            Le(V.Str.size(), 4);
            for (char16_t u : V.Str) Le(u, 2);
            return;
        }
        if (as == TFormStoredAs::String) {
            Byte(vaString);
            Byte(static_cast<uint8_t>(V.Str.size()));
        } else {
            Byte(as == TFormStoredAs::UTF8String ? vaUTF8String : vaLString);
            Le(V.Str.size(), 4);
        }
        for (char16_t u : V.Str) Byte(static_cast<uint8_t>(u));
    }

    void Value(const TFormNodeValue& V) {
        switch (V.Type) {
            case TFormValueType::Integer:
                Int(V.Int, V.StoredAs);
                break;
            case TFormValueType::Float:
                switch (V.FloatType) {
                    case TFormFloatType::Extended:
                        Byte(vaExtended);
                        Out.append(reinterpret_cast<const char*>(V.Float.data()), 10);
                        break;
                    case TFormFloatType::Single:
                        Byte(vaSingle);
                        Out.append(reinterpret_cast<const char*>(V.Float.data()), 4);
                        break;
                    case TFormFloatType::Date:
                    case TFormFloatType::Double:
                        Byte(V.FloatType == TFormFloatType::Date ? vaDate : vaDouble);
                        Out.append(reinterpret_cast<const char*>(V.Float.data()), 8);
                        break;
                    case TFormFloatType::Currency:
                        Byte(vaCurrency);
                        Le(static_cast<uint64_t>(V.Int), 8);
                        break;
                }
                break;
            case TFormValueType::String:
                Str(V);
                break;
            case TFormValueType::Ident:
                Byte(vaIdent);
                ShortStr(V.Text);
                break;
            case TFormValueType::False:
                Byte(vaFalse);
                break;
            case TFormValueType::True:
                Byte(vaTrue);
                break;
            case TFormValueType::Nil:
                Byte(vaNil);
                break;
            case TFormValueType::Set:
                Byte(vaSet);
                for (const TFormNodeValue& e : V.Items) ShortStr(e.Text);
                Byte(0);
                break;
            case TFormValueType::List:
                Byte(vaList);
                for (const TFormNodeValue& e : V.Items) Value(e);
                Byte(vaNull);
                break;
            case TFormValueType::Binary:
                Byte(vaBinary);
                Le(V.Text.size(), 4);
                Out += V.Text;
                break;
            case TFormValueType::Collection:
                Byte(vaCollection);
                for (const TFormItem& item : V.Collection) {
                    if (item.HasOrder) {
                        if (item.Order.Type == TFormValueType::Integer)
                            Int(item.Order.Int, item.Order.StoredAs);
                        else
                            Value(item.Order);
                    }
                    Byte(vaList);
                    Properties(item.Properties);
                }
                Byte(vaNull);
                break;
        }
    }

    void Properties(const std::vector<TFormNodeProperty>& Props) {
        for (const TFormNodeProperty& p : Props) {
            ShortStr(p.Name);
            Value(p.Value);
        }
        Byte(vaNull);
    }

    void Object(const TFormNode& N) {
        uint8_t flags = N.Kind == TFormObjectKind::Inherited ? 1
                        : N.Kind == TFormObjectKind::Inline  ? 4
                                                             : 0;
        if (N.HasIndex) flags |= 2;
        // A class name of 240 bytes or more would read as a prefix: give it an empty one.
        if (flags || N.ClassName.size() >= 0xF0) {
            Byte(0xF0 | flags);
            if (N.HasIndex) Int(N.Index, TFormStoredAs::Auto);
        }
        ShortStr(N.ClassName);
        ShortStr(N.Name);
        Properties(N.Properties);
        for (const TFormNode& c : N.Children) Object(c);
        Byte(vaNull);
    }
};

uint32_t Le32(std::string_view S, size_t At) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(S[At + static_cast<size_t>(i)]);
    return v;
}

void Put32(std::string& S, size_t At, uint64_t V) {
    for (int i = 0; i < 4; ++i) S[At + static_cast<size_t>(i)] = static_cast<char>(V >> (8 * i));
}

const std::string_view kRes32Start("\0\0\0\0\x20\0\0\0", 8);

}  // namespace

bool LooksBinary(std::string_view Bytes) {
    return Bytes.substr(0, 4) == "TPF0" || (!Bytes.empty() && Bytes[0] == '\xFF') ||
           Bytes.substr(0, 8) == kRes32Start;
}

TFormNode ReadFormStream(std::string_view Bytes, const std::string& FileName,
                         TFormBinaryFrame& Frame) {
    Frame = TFormBinaryFrame{};
    size_t start = 0, end = Bytes.size();
    auto fail = [&](const std::string& What, size_t At) -> void {
        throw EFormFileError(FileName + ": byte " + std::to_string(At) + ": " + What, 0,
                             static_cast<int>(At));
    };
    if (!Bytes.empty() && Bytes[0] == '\xFF') {
        // 16-bit resource: FF, type ordinal word, name (FF + ordinal word, or zero-terminated),
        // memory flags word, data size.
        size_t p = 3;
        if (Bytes.size() > p && Bytes[p] == '\xFF') {
            p += 3;
        } else {
            while (p < Bytes.size() && Bytes[p] != '\0') ++p;
            ++p;
        }
        p += 2;
        if (p + 4 > Bytes.size()) fail("expected a complete resource header", Bytes.size());
        Frame.Kind = TFormBinaryFrame::Res16;
        Frame.SizeField = p;
        uint32_t size = Le32(Bytes, p);
        start = p + 4;
        if (size > Bytes.size() - start) fail("expected the resource's data of its size", start);
        end = start + size;
    } else if (Bytes.substr(0, 8) == kRes32Start) {
        // 32-bit resource file: entries of DataSize, HeaderSize, header, data padded to 4.
        size_t p = 0;
        bool found = false;
        while (p + 8 <= Bytes.size()) {
            uint32_t dataSize = Le32(Bytes, p), headerSize = Le32(Bytes, p + 4);
            if (headerSize < 8 || headerSize > Bytes.size() - p ||
                dataSize > Bytes.size() - p - headerSize)
                fail("expected a resource entry within the file", p);
            size_t data = p + headerSize;
            if (Bytes.substr(data, 4) == "TPF0") {
                Frame.Kind = TFormBinaryFrame::Res32;
                Frame.SizeField = p;
                start = data;
                end = data + dataSize;
                found = true;
                break;
            }
            p = data + dataSize;
            p += (4 - p % 4) % 4;
        }
        if (!found) fail("expected a resource holding a form stream (\"TPF0\")", 0);
    }
    if (Bytes.substr(start, 4) != "TPF0") fail("expected the signature \"TPF0\"", start);
    TStreamReader r(Bytes, start + 4, end, FileName);
    TFormNode root = r.Object(0);
    size_t streamEnd = r.Pos();
    Frame.Prefix = std::string(Bytes.substr(0, start));
    size_t after = streamEnd;
    if (Frame.Kind == TFormBinaryFrame::Res16) after = end;
    if (Frame.Kind == TFormBinaryFrame::Res32) {
        after = end;
        size_t pad = (4 - after % 4) % 4;
        after = std::min(Bytes.size(), after + pad);
    }
    if (Frame.Kind != TFormBinaryFrame::Bare && streamEnd != end)
        fail("expected the stream to fill its resource", streamEnd);
    Frame.Suffix = std::string(Bytes.substr(after));
    return root;
}

std::string WriteFormStream(const TFormNode& Root) {
    TStreamWriter w;
    w.Out = "TPF0";
    w.Object(Root);
    return std::move(w.Out);
}

std::string FrameFormStream(const std::string& Stream, const TFormBinaryFrame& Frame) {
    std::string out = Frame.Prefix;
    if (Frame.Kind != TFormBinaryFrame::Bare) Put32(out, Frame.SizeField, Stream.size());
    out += Stream;
    if (Frame.Kind == TFormBinaryFrame::Res32) out.append((4 - out.size() % 4) % 4, '\0');
    out += Frame.Suffix;
    return out;
}

}  // namespace zk::formfile
