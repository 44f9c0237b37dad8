#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zk/formfile/FormBinary.h"
#include "zk/formfile/FormDocument.h"
#include "tests/support/Namespaces.h"

namespace {

// Every syntax the IDEs write, with a few of their irregularities: tabs, an unknown class,
// handlers, UTF-8 and 8-bit bytes, a wide character, lines continued with '+'.
const std::string kForm = R"(object Form1: TForm1
  Left = 192
  Top = -8
  Color = clBtnFace
  Font.Name = 'MS Sans Serif'
  Font.Style = [fsBold, fsItalic]
  Anchors = []
  Caption = 'Caf'#233' l'#39'ami '''#8364'''' +
    ' r'#195#169'sum'#$E9
  Hint = 'Ã© raw UTF-8 and )"
                          "\xE9"
                          R"( raw 8-bit'
  Ratio = 1.5
  Small = 2.5s
  Price = 15000c
  When = 36526.25d
  Big = 1E300
  Wide = 70000
  Huge = 5000000000
  Mask = $7FFFFFFF
  OnClick = FormClick
  OnShow = Form1.Helper
  Visible = True
  Ok = false
  Buddy = nil
  object Memo1: TMemo
    Lines.Strings = (
      'first'
      ''
      'a' + 'b'
      ( 1 2 ))
  end
	object Image1: TImage [2]
		Picture.Data = {
		  0954506963747572650000
		  FF}
	end
  inline Frame11: TFrame1
    object Grid1: TStringGrid
      Columns = <
        item
          Title.Caption = 'A'
        end
        item [3]
          Width = 64
          Items = <>
        end>
    end
  end
  inherited Extra: TWeirdThing
    HelpContext = 42
    Custom = {}
  end
end
)";

std::string Crlf(const std::string& S) {
    std::string out;
    for (char c : S) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string Bytes(std::initializer_list<int> B) {
    std::string s;
    for (int b : B) s += static_cast<char>(b);
    return s;
}

// Lines of Text without those that mention HelpContext.
std::vector<std::string> OtherLines(const std::string& Text) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < Text.size()) {
        size_t nl = Text.find('\n', pos);
        std::string line = Text.substr(pos, nl == std::string::npos ? nl : nl + 1 - pos);
        if (line.find("HelpContext") == std::string::npos) out.push_back(line);
        pos = nl == std::string::npos ? Text.size() : nl + 1;
    }
    return out;
}

TEST(FormDocumentTest, ReadAndSaveKeepsEveryByteInBothLineEndStyles) {
    for (const std::string& text :
         {kForm, Crlf(kForm), kForm.substr(0, kForm.size() - 1), "\xEF\xBB\xBF" + Crlf(kForm)}) {
        TFormDocument doc = TFormDocument::ReadText(text, "f.dfm");
        EXPECT_EQ(doc.Save(), text);
        EXPECT_EQ(doc.ToText(), text);
    }
    EXPECT_EQ(TFormDocument::ReadText(Crlf(kForm), "f.dfm").LineEnd(), "\r\n");
}

TEST(FormDocumentTest, TreeHoldsTheValues) {
    TFormDocument doc = TFormDocument::ReadText(kForm, "f.dfm");
    const TFormNode& root = doc.Root();
    ASSERT_EQ(root.Children.size(), 4u);
    auto prop = [&](const TFormNode& n, const std::string& name) -> const TFormNodeValue& {
        for (const TFormNodeProperty& p : n.Properties)
            if (p.Name == name) return p.Value;
        ADD_FAILURE() << name;
        return n.Properties.front().Value;
    };
    std::u16string caption = u"Caf\u00e9 l'ami '\u20ac' r\u00c3\u00a9sum\u00e9";
    EXPECT_EQ(prop(root, "Caption").Str, caption);
    EXPECT_EQ(prop(root, "Top").Int, -8);
    EXPECT_EQ(prop(root, "Mask").Int, 0x7FFFFFFF);
    EXPECT_EQ(prop(root, "Huge").Int, 5000000000);
    EXPECT_EQ(ExtendedValue(prop(root, "Ratio").Float), 1.5);
    EXPECT_EQ(prop(root, "Price").FloatType, TFormFloatType::Currency);
    EXPECT_EQ(prop(root, "Price").Int, 15000);
    EXPECT_EQ(prop(root, "Font.Style").Items.size(), 2u);
    EXPECT_EQ(prop(root, "OnShow").Text, "Form1.Helper");
    EXPECT_EQ(prop(root, "Ok").Type, TFormValueType::False);
    EXPECT_EQ(prop(root.Children[0], "Lines.Strings").Items[2].Str, u"ab");
    const TFormNode& image = root.Children[1];
    EXPECT_TRUE(image.HasIndex);
    EXPECT_EQ(image.Index, 2);
    EXPECT_EQ(prop(image, "Picture.Data").Text,
              Bytes({9, 'T', 'P', 'i', 'c', 't', 'u', 'r', 'e', 0, 0, 0xFF}));
    EXPECT_EQ(root.Children[2].Kind, TFormObjectKind::Inline);
    const TFormNodeValue& cols = prop(root.Children[2].Children[0], "Columns");
    ASSERT_EQ(cols.Collection.size(), 2u);
    EXPECT_TRUE(cols.Collection[1].HasOrder);
    EXPECT_EQ(cols.Collection[1].Order.Int, 3);
    EXPECT_EQ(root.Children[3].Kind, TFormObjectKind::Inherited);
    EXPECT_EQ(*doc.HelpContext(root.Children[3]), 42);
    EXPECT_EQ(root.Children[1].Span.Line, 31);
    EXPECT_EQ(root.Children[1].Span.Column, 2);
    EXPECT_EQ(doc.Find("Form1.Frame11.Grid1"), &root.Children[2].Children[0]);
    EXPECT_EQ(doc.Find("grid1"), &root.Children[2].Children[0]);
    EXPECT_EQ(doc.Find("Form1.Nothing"), nullptr);
}

TEST(FormDocumentTest, BinaryStreamIsWhatTheLibrarysConversionWrites) {
    // Byte for byte from the stream format: tags, little-endian sizes, smallest integers.
    std::string text =
        "inherited F: TF [3]\n I = -1\n J = 300\n K = 70000\n L = -2147483648\n M = 5000000000\n"
        " S = 'ab'\n W = #8364\n T = TRUE\n N = Nil\n X = clRed\n E = [a]\n D = {01FF}\n"
        " R = 1.5\n G = 2.5s\n C = 15000c\n Y = 1d\n P = (1)\n"
        " Q = <item [2] A = 1 end>\nend\n";
    std::string expected =
        "TPF0" + Bytes({0xF3, 2, 3, 2, 'T', 'F', 1, 'F'}) +                                //
        Bytes({1, 'I', 2, 0xFF}) + Bytes({1, 'J', 3, 0x2C, 1}) +                           //
        Bytes({1, 'K', 4, 0x70, 0x11, 1, 0}) + Bytes({1, 'L', 4, 0, 0, 0, 0x80}) +         //
        Bytes({1, 'M', 0x13, 0x00, 0xF2, 0x05, 0x2A, 1, 0, 0, 0}) +                        //
        Bytes({1, 'S', 6, 2, 'a', 'b'}) + Bytes({1, 'W', 0x12, 1, 0, 0, 0, 0xAC, 0x20}) +  //
        Bytes({1, 'T', 9}) + Bytes({1, 'N', 0x0D}) +                                       //
        Bytes({1, 'X', 7, 5, 'c', 'l', 'R', 'e', 'd'}) + Bytes({1, 'E', 0x0B, 1, 'a', 0}) +
        Bytes({1, 'D', 0x0A, 2, 0, 0, 0, 1, 0xFF}) +
        Bytes({1, 'R', 5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}) +
        Bytes({1, 'G', 0x0F, 0, 0, 0x20, 0x40}) +
        Bytes({1, 'C', 0x10, 0x98, 0x3A, 0, 0, 0, 0, 0, 0}) +
        Bytes({1, 'Y', 0x11, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}) + Bytes({1, 'P', 1, 2, 1, 0}) +
        Bytes({1, 'Q', 0x0E, 2, 2, 1, 1, 'A', 2, 1, 0, 0}) + Bytes({0, 0});
    TFormDocument doc = TFormDocument::ReadText(text, "f.dfm");
    EXPECT_EQ(doc.ToBinary(), expected);
    std::string longText = "object A: TA\n  S = '" + std::string(256, 'x') + "'\nend\n";
    std::string bin = TFormDocument::ReadText(longText, "f.dfm").ToBinary();
    EXPECT_EQ(bin.substr(11, 5), Bytes({0x0C, 0, 1, 0, 0}));
}

TEST(FormDocumentTest, TextToBinaryToTextGivesTheSameTree) {
    for (const std::string& text : {kForm, Crlf(kForm)}) {
        TFormDocument doc = TFormDocument::ReadText(text, "f.dfm");
        TFormDocument bin = TFormDocument::Read(doc.ToBinary(), "f.bin");
        ASSERT_TRUE(bin.IsBinary());
        EXPECT_TRUE(SameTree(doc.Root(), bin.Root()));
        EXPECT_EQ(bin.Save(), doc.ToBinary());
        TFormDocument back = TFormDocument::ReadText(bin.ToText("\n"), "g.dfm");
        EXPECT_TRUE(SameTree(doc.Root(), back.Root()));
        EXPECT_EQ(back.ToBinary(), doc.ToBinary());
    }
}

TEST(FormDocumentTest, NumberingChangesOnlyHelpContextLines) {
    for (const std::string& text : {kForm, Crlf(kForm)}) {
        TFormDocument doc = TFormDocument::ReadText(text, "f.dfm");
        int n = 0;
        for (const TFormNode* node : doc.Nodes()) doc.SetHelpContext(*node, ++n * 100);
        std::string saved = doc.Save();
        EXPECT_EQ(OtherLines(saved), OtherLines(text));
        std::string eol = doc.LineEnd();
        EXPECT_NE(saved.find("  OnShow = Form1.Helper" + eol + "  Visible = True" + eol +
                             "  Ok = false" + eol + "  Buddy = nil" + eol + "  HelpContext = 100" +
                             eol + "  object Memo1"),
                  std::string::npos);
        EXPECT_NE(saved.find("'b'" + eol + "      ( 1 2 ))" + eol + "    HelpContext = 200" + eol),
                  std::string::npos);
        EXPECT_NE(saved.find("\t\tHelpContext = 300" + eol + "\tend"), std::string::npos);
        EXPECT_NE(saved.find("    HelpContext = 400" + eol + "    object Grid1"),
                  std::string::npos);
        EXPECT_NE(saved.find("    HelpContext = 600" + eol + "    Custom"), std::string::npos);
        EXPECT_NE(saved.find("      HelpContext = 500" + eol + "    end"), std::string::npos);
        TFormDocument again = TFormDocument::ReadText(saved, "f.dfm");
        for (size_t i = 0; i < again.Nodes().size(); ++i)
            EXPECT_EQ(again.HelpContext(*again.Nodes()[i]), (static_cast<int>(i) + 1) * 100);
        // Zero removes the lines: the text read without its one HelpContext line.
        for (const TFormNode* node : again.Nodes()) again.SetHelpContext(*node, 0);
        std::string stripped;
        for (const std::string& l : OtherLines(text)) stripped += l;
        EXPECT_EQ(again.Save(), stripped);
    }
}

TEST(FormDocumentTest, FullIntegerRangeRoundTrips) {
    TFormDocument doc = TFormDocument::ReadText("object F: TForm\nend\n", "f.dfm");
    doc.SetHelpContext(doc.Root(), INT32_MIN);
    EXPECT_EQ(doc.Save(), "object F: TForm\n  HelpContext = -2147483648\nend\n");
    TFormDocument again = TFormDocument::ReadText(doc.Save(), "f.dfm");
    EXPECT_EQ(again.HelpContext(again.Root()), INT32_MIN);
    TFormDocument bin = TFormDocument::Read(again.ToBinary(), "f");
    EXPECT_EQ(bin.HelpContext(bin.Root()), INT32_MIN);
}

TEST(FormDocumentTest, BinaryFilesInAResourceHeaderAreNumberedInPlace) {
    TFormDocument text = TFormDocument::ReadText(Crlf(kForm), "f.dfm");
    std::string stream = text.ToBinary();
    std::string header = Bytes({0xFF, 10, 0}) + "TFORM1" + Bytes({0, 0x30, 0x10});
    auto size = [](size_t n) {
        return Bytes({static_cast<int>(n & 255), static_cast<int>(n >> 8 & 255),
                      static_cast<int>(n >> 16 & 255), 0});
    };
    std::string file = header + size(stream.size()) + stream;
    TFormDocument doc = TFormDocument::Read(file, "f.dfm");
    ASSERT_TRUE(doc.IsBinary());
    EXPECT_EQ(doc.Save(), file);
    doc.SetHelpContext(doc.Root(), 1234);
    doc.SetHelpContext(*doc.Find("Extra"), 0);
    std::string saved = doc.Save();
    TFormDocument again = TFormDocument::Read(saved, "f.dfm");
    EXPECT_EQ(again.HelpContext(again.Root()), 1234);
    EXPECT_EQ(again.HelpContext(*again.Find("Extra")), std::nullopt);
    std::string newStream = again.ToBinary();
    EXPECT_EQ(saved, header + size(newStream.size()) + newStream);
    // 32-bit resource files: the empty first entry, then the form's entry.
    std::string res32 = Bytes({0, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0}) +
                        std::string(16, '\0') + size(stream.size()) +
                        Bytes({0x20, 0, 0, 0, 0xFF, 0xFF, 10, 0, 0xFF, 0xFF, 1, 0}) +
                        std::string(16, '\0') + stream +
                        std::string((4 - stream.size() % 4) % 4, '\0');
    TFormDocument r32 = TFormDocument::Read(res32, "f.res");
    EXPECT_TRUE(SameTree(r32.Root(), text.Root()));
    EXPECT_EQ(r32.Save(), res32);
    r32.SetHelpContext(r32.Root(), 5);
    TFormDocument r32b = TFormDocument::Read(r32.Save(), "f.res");
    EXPECT_EQ(r32b.HelpContext(r32b.Root()), 5);
}

TEST(FormDocumentTest, AnyPropertyIsSetOrRemovedThroughOneSplice) {
    const std::string text =
        "object F: TF\r\n  Left = 8\r\n  Caption = 'a'\r\n  object B: TB\r\n  end\r\nend\r\n";
    TFormDocument doc = TFormDocument::ReadText(text, "f.dfm");
    const TFormNode& root = doc.Root();
    TFormNodeValue caption;
    caption.Type = TFormValueType::String;
    caption.Str = u"It's";
    TFormNodeValue tag;
    tag.Int = 5;
    doc.SetProperty(root, "caption", caption);
    doc.SetProperty(root, "Tag", tag);
    doc.RemoveProperty(root, "Left");
    doc.RemoveProperty(root, "Nothing");
    EXPECT_EQ(doc.Save(),
              "object F: TF\r\n  Caption = 'It''s'\r\n  Tag = 5\r\n  object B: TB\r\n  end\r\n"
              "end\r\n");
    EXPECT_EQ(FindProperty(root, "CAPTION")->Value.Str, u"It's");
    EXPECT_EQ(FindProperty(root, "Left"), nullptr);
    // Back as they were read: the original bytes, whatever happened in between.
    TFormNodeValue left;
    left.Int = 8;
    doc.SetProperty(root, "Left", left);
    doc.RemoveProperty(root, "Tag");
    caption.Str = u"a";
    doc.SetProperty(root, "Caption", caption);
    EXPECT_EQ(doc.Save(), text);
    // A node with nothing nested: before its 'end', one level in.
    doc.SetProperty(root.Children[0], "Tag", tag);
    EXPECT_EQ(doc.Save(),
              "object F: TF\r\n  Left = 8\r\n  Caption = 'a'\r\n  object B: TB\r\n"
              "    Tag = 5\r\n  end\r\nend\r\n");
    // New lines at one place go in the order of their names, not of the edits; a copy of the
    // document saves the same.
    TFormNodeValue hint;
    hint.Type = TFormValueType::String;
    hint.Str = u"h";
    doc.SetProperty(root.Children[0], "Hint", hint);
    TFormDocument copy = doc;
    EXPECT_EQ(copy.Save(),
              "object F: TF\r\n  Left = 8\r\n  Caption = 'a'\r\n  object B: TB\r\n"
              "    Hint = 'h'\r\n    Tag = 5\r\n  end\r\nend\r\n");
    // A removed property takes its line; a namesake after it stays as it was.
    TFormDocument twice =
        TFormDocument::ReadText("object F: TF\r\n  Left = 1\r\n  Left = 2\r\nend\r\n", "f.dfm");
    twice.RemoveProperty(twice.Root(), "Left");
    EXPECT_EQ(twice.Save(), "object F: TF\r\n  Left = 2\r\nend\r\n");
}

TEST(FormDocumentTest, ASecondFormAfterTheFirstIsKeptAndReported) {
    const std::string first = "object F: TF\n  Left = 8\nend\n";
    const std::string second = "object G: TG\nend\n  garbage\n";
    TFormDocument doc = TFormDocument::ReadText(first + "\n" + second, "f.lfm");
    EXPECT_EQ(doc.TrailingAt(), first.size() + 1);
    EXPECT_EQ(doc.Nodes().size(), 1u);
    EXPECT_EQ(doc.Save(), first + "\n" + second);
    doc.SetHelpContext(doc.Root(), 7);
    EXPECT_EQ(doc.Save(), "object F: TF\n  Left = 8\n  HelpContext = 7\nend\n\n" + second);
    EXPECT_EQ(TFormDocument::ReadText(first + " \n\t\n", "f.lfm").TrailingAt(), 0u);
}

struct TBadForm {
    const char* Text;
    int Line, Column;
    const char* Expected;
};

TEST(FormDocumentTest, MalformedFilesNameLineColumnAndWhatWasExpected) {
    const TBadForm rows[] = {
        {"objekt F: TF\nend\n", 1, 1, "expected 'object', 'inherited' or 'inline'"},
        {"object F: 5\nend\n", 1, 11, "expected a class name after ':', found '5'"},
        {"object F: TF [x]\nend\n", 1, 15, "expected a number"},
        {"object F: TF [1\nend\n", 2, 1, "expected ']' after the order index"},
        {"object F: TF\n  Left 1\nend\n", 2, 8, "expected '=' after the property name"},
        {"object F: TF\n  A = 'abc\nend\n", 2, 11, "expected the closing quote"},
        {"object F: TF\n  A = 'a' +\n  B = 1\nend\n", 3, 3, "expected a string after '+'"},
        {"object F: TF\n  A = #x\nend\n", 2, 8, "expected a character code after '#'"},
        {"object F: TF\n  A = #70000\nend\n", 2, 13, "expected a character code up to 65535"},
        {"object F: TF\n  A = $\nend\n", 2, 8, "expected hexadecimal digits after '$'"},
        {"object F: TF\n  A = 99999999999999999999\nend\n", 2, 7, "64-bit range"},
        {"object F: TF\n  A = 1.5x\nend\n", 2, 10, "expected a blank after the number"},
        {"object F: TF\n  A = [a b]\nend\n", 2, 10, "expected ',' or ']' in a set"},
        {"object F: TF\n  A = ('x'\n", 3, 1, "expected a value or ')' in a list"},
        {"object F: TF\n  A = {ABC}\nend\n", 2, 11, "even number of hexadecimal digits"},
        {"object F: TF\n  A = {AG}\nend\n", 2, 9, "expected hexadecimal digits or '}'"},
        {"object F: TF\n  A = <x>\nend\n", 2, 8, "expected 'item' or '>'"},
        {"object F: TF\n  A = <item B = 1>\nend\n", 2, 18, "expected a property name or 'end'"},
        {"object F: TF\n  A = ?\nend\n", 2, 7, "expected a value, found '?'"},
        {"object F: TF\n  object G: TG\n  end\n  A = 1\nend\n", 4, 3,
         "expected 'object', 'inherited', 'inline' or 'end', found 'A'"},
        {"object F: TF\n  A = 1\n", 3, 1, "expected a property, 'object' or 'end', found the end"},
        {"object F: TF\nend\nend\n", 3, 1, "expected the end of the file after the form's 'end'"},
    };
    for (const TBadForm& row : rows) {
        for (bool crlf : {false, true}) {
            std::string text = crlf ? Crlf(row.Text) : row.Text;
            try {
                TFormDocument::ReadText(text, "bad.dfm");
                ADD_FAILURE() << "accepted: " << row.Text;
            } catch (const EFormFileError& e) {
                std::string prefix =
                    "bad.dfm:" + std::to_string(row.Line) + ":" + std::to_string(row.Column) + ": ";
                EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix) << e.Message();
                EXPECT_NE(e.Message().find(row.Expected), std::string::npos) << e.Message();
                EXPECT_EQ(e.Line(), row.Line);
            }
        }
    }
}

TEST(FormDocumentTest, MalformedBinaryStreamsNameTheByte) {
    std::string good = TFormDocument::ReadText("object F: TF\n  A = 'x'\nend\n", "f").ToBinary();
    const std::pair<std::string, const char*> rows[] = {
        {good.substr(0, good.size() - 1), "f.bin: byte 15: expected more data"},
        {"TPF0" + Bytes({2, 'T', 'F', 1, 'F', 1, 'A', 0x63}), "f.bin: byte 11: expected a value"},
        {"TPF0" + Bytes({2, 'T', 'F', 1, 'F', 1, 'A', 0x0C, 0xFF, 0xFF, 0, 0}),
         "f.bin: byte 16: expected 65535 more bytes"},
        {Bytes({0xFF, 10, 0, 'A', 0, 0x30, 0x10, 99, 0, 0, 0}) + good,
         "f.bin: byte 11: expected the resource's data of its size"},
    };
    for (const auto& [bytes, message] : rows) {
        try {
            TFormDocument::Read(bytes, "f.bin");
            ADD_FAILURE() << message;
        } catch (const EFormFileError& e) {
            EXPECT_EQ(e.Message().substr(0, std::string(message).size()), message);
        }
    }
}

}  // namespace
