#pragma once

// JSON for PROJJSON. The reader stands on nlohmann-json, as PROJ's does, and
// bounds it: it refuses texts longer than kZrInteropMaxTextBytes, nesting
// deeper than kZrInteropMaxDepth, more values than a description holds,
// invalid UTF-8, control and NUL characters in strings and numbers that are
// not finite doubles. Of repeated keys the last wins, as in PROJ. Nothing
// throws. The writer is our own: a few lines give PROJ's indentation.

#include <string>
#include <utility>
#include <vector>

struct ZrJson {
    enum Kind { NUL, BOOLEAN, NUMBER, STRING, ARRAY, OBJECT };
    Kind kind = NUL;
    bool boolean = false;
    double number = 0.0;
    std::string text;                                    // STRING
    std::vector<ZrJson> items;                           // ARRAY
    std::vector<std::pair<std::string, ZrJson>> members; // OBJECT, in text order

    // A member of an object by key; null when absent or not an object.
    const ZrJson* Get(const char* key) const;
    bool IsNumber() const { return kind == NUMBER; }
    bool IsString() const { return kind == STRING; }
    bool IsObject() const { return kind == OBJECT; }
    bool IsArray() const { return kind == ARRAY; }
};

// 1 and out filled when text is one JSON value (blanks around it allowed);
// else 0 with a one-line reason that names the byte offset.
int ZrJsonParse(const std::string& text, ZrJson& out, std::string& reason);

// Writing, indented by two blanks per level as PROJ writes PROJJSON.
class ZrJsonWriter {
public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    void Key(const char* key); // inside an object, before its value
    void String(const std::string& value);
    void Number(double value); // shortest text that reads back to the same double
    void Integer(long value);
    const std::string& Text() const { return m_out; }

private:
    void BeforeValue();
    void Quoted(const std::string& value);
    void NewLine();
    std::string m_out;
    std::vector<int> m_counts; // values written so far at each open level
    bool m_afterKey = false;
};
