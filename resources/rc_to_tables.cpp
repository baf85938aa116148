// Build-time generator for the Linux program: reads the resource script (string table and dialog
// templates) and writes a C++ source that registers them with the platform layer before main
// runs. Symbols and style expressions are copied as written, so the C++ compiler resolves them
// against the same headers the resource compiler reads.
// Usage: rc_to_tables <lumiva95.rc> <out.cpp>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Token {
  std::string text;
  bool quoted = false;
  int line = 0;
};

std::vector<Token> Tokenize(const std::string &source, std::vector<std::string> &includes) {
  std::vector<Token> tokens;
  int line = 1;
  size_t i = 0;
  while (i < source.size()) {
    char c = source[i];
    if (c == '\n') {
      ++line;
      ++i;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (source.compare(i, 2, "//") == 0) {
      while (i < source.size() && source[i] != '\n') ++i;
    } else if (c == '#') {
      size_t end = source.find('\n', i);
      std::string directive = source.substr(i, end - i);
      if (directive.rfind("#include", 0) == 0) includes.push_back(directive);
      i = end;
    } else if (c == '"') {
      // "" inside a resource string is one quote; backslash escapes mean what they mean in C.
      std::string text;
      ++i;
      while (i < source.size()) {
        if (source[i] == '"' && i + 1 < source.size() && source[i + 1] == '"') {
          text += "\\\"";
          i += 2;
        } else if (source[i] == '"') {
          ++i;
          break;
        } else if (source[i] == '\\' && i + 1 < source.size()) {
          text += source.substr(i, 2);
          i += 2;
        } else {
          if (source[i] == '\n') throw std::runtime_error("line " + std::to_string(line) + ": unterminated string");
          text += source[i++];
        }
      }
      tokens.push_back({text, true, line});
    } else if (c == ',' || c == '|' || c == '(' || c == ')' || c == '-') {
      tokens.push_back({std::string(1, c), false, line});
      ++i;
    } else {
      size_t start = i;
      while (i < source.size() && !std::isspace(static_cast<unsigned char>(source[i])) &&
             std::string(",|()\"").find(source[i]) == std::string::npos)
        ++i;
      tokens.push_back({source.substr(start, i - start), false, line});
    }
  }
  return tokens;
}

class Parser {
 public:
  explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

  bool AtEnd() const { return pos_ >= tokens_.size(); }
  const Token &Peek() const {
    if (AtEnd()) throw std::runtime_error("unexpected end of the resource script");
    return tokens_[pos_];
  }
  Token Next() {
    Token t = Peek();
    ++pos_;
    return t;
  }
  bool Accept(const char *text) {
    if (!AtEnd() && !Peek().quoted && Peek().text == text) {
      ++pos_;
      return true;
    }
    return false;
  }
  void Expect(const char *text) {
    if (!Accept(text)) Fail(std::string("expected ") + text);
  }
  std::string String() {
    if (!Peek().quoted) Fail("expected a string");
    return Next().text;
  }
  // An expression up to the next top-level comma or the end of the line's statement.
  std::string Expression() {
    std::string out;
    int depth = 0;
    int line = Peek().line;
    while (!AtEnd() && Peek().line == line && !Peek().quoted) {
      const std::string &t = Peek().text;
      if (depth == 0 && t == ",") break;
      if (t == "NOT") Fail("NOT is not supported; write the style without it");
      if (t == "(") ++depth;
      if (t == ")") --depth;
      out += (out.empty() ? "" : " ") + Next().text;
    }
    if (out.empty()) Fail("expected a value");
    return out;
  }
  // Optional ", expression" still on the statement's line.
  bool MoreOnLine(int line) const { return !AtEnd() && Peek().line == line && Peek().text == ","; }
  [[noreturn]] void Fail(const std::string &what) const {
    int line = AtEnd() ? -1 : tokens_[pos_].line;
    throw std::runtime_error("line " + std::to_string(line) + ": " + what);
  }

 private:
  std::vector<Token> tokens_;
  size_t pos_ = 0;
};

struct Control {
  std::string className, text, id, x, y, width, height, style;
};

// How each control statement reads and which class and default style it stands for, as the
// resource compiler has them.
struct Statement {
  const char *keyword;
  const char *className;
  const char *defaultStyle;
  bool hasText;
};
const Statement STATEMENTS[] = {
    {"LTEXT", "STATIC", "SS_LEFT | WS_GROUP", true},
    {"RTEXT", "STATIC", "SS_RIGHT | WS_GROUP", true},
    {"CTEXT", "STATIC", "SS_CENTER | WS_GROUP", true},
    {"GROUPBOX", "BUTTON", "BS_GROUPBOX", true},
    {"PUSHBUTTON", "BUTTON", "BS_PUSHBUTTON | WS_TABSTOP", true},
    {"DEFPUSHBUTTON", "BUTTON", "BS_DEFPUSHBUTTON | WS_TABSTOP", true},
    {"AUTOCHECKBOX", "BUTTON", "BS_AUTOCHECKBOX | WS_TABSTOP", true},
    {"AUTORADIOBUTTON", "BUTTON", "BS_AUTORADIOBUTTON", true},
    {"EDITTEXT", "EDIT", "ES_LEFT | WS_BORDER | WS_TABSTOP", false},
    {"LISTBOX", "LISTBOX", "LBS_NOTIFY | WS_BORDER", false},
    {"COMBOBOX", "COMBOBOX", "CBS_SIMPLE | WS_TABSTOP", false},
    {"SCROLLBAR", "SCROLLBAR", "SBS_HORZ", false},
};

const Statement *FindStatement(const std::string &keyword) {
  for (const Statement &s : STATEMENTS)
    if (keyword == s.keyword) return &s;
  return nullptr;
}

std::string Quote(const std::string &text) { return "\"" + text + "\""; }

struct Output {
  std::ostringstream tables, registrations;
  int dialogs = 0;
};

void ReadDialog(Parser &p, const std::string &id, Output &out) {
  std::string x = p.Expression();
  p.Expect(",");
  std::string y = p.Expression();
  p.Expect(",");
  std::string width = p.Expression();
  p.Expect(",");
  std::string height = p.Expression();
  std::string style = "WS_POPUP | WS_BORDER | WS_SYSMENU", caption, font = "System", pointSize = "8";
  for (;;) {
    if (p.Accept("STYLE")) {
      style = p.Expression();
    } else if (p.Accept("CAPTION")) {
      caption = p.String();
      style += " | WS_CAPTION";
    } else if (p.Accept("FONT")) {
      pointSize = p.Expression();
      p.Expect(",");
      font = p.String();
    } else {
      break;
    }
  }
  p.Expect("BEGIN");
  std::vector<Control> controls;
  while (!p.Accept("END")) {
    Token keyword = p.Next();
    const Statement *s = FindStatement(keyword.text);
    if (!s) p.Fail("unsupported dialog statement " + keyword.text);
    Control c;
    c.className = s->className;
    if (s->hasText) {
      c.text = p.String();
      p.Expect(",");
    }
    c.id = p.Expression();
    p.Expect(",");
    c.x = p.Expression();
    p.Expect(",");
    c.y = p.Expression();
    p.Expect(",");
    c.width = p.Expression();
    p.Expect(",");
    c.height = p.Expression();
    c.style = std::string("WS_CHILD | WS_VISIBLE | ") + s->defaultStyle;
    if (p.MoreOnLine(keyword.line)) {
      p.Expect(",");
      c.style += " | " + p.Expression();
    }
    controls.push_back(c);
  }
  int n = out.dialogs++;
  out.tables << "const compat::DialogItemTemplate dialog" << n << "Items[] = {\n";
  for (const Control &c : controls)
    out.tables << "    {" << Quote(c.className) << ", " << Quote(c.text) << ", " << c.id << ", "
               << c.x << ", " << c.y << ", " << c.width << ", " << c.height << ", "
               << "static_cast<DWORD>(" << c.style << ")},\n";
  out.tables << "};\n";
  out.registrations << "  compat::RegisterDialogTemplate({" << id << ", static_cast<DWORD>(" << style
                    << "), " << Quote(caption) << ", " << Quote(font) << ", " << pointSize << ", " << x
                    << ", " << y << ", " << width << ", " << height << ", dialog" << n << "Items, "
                    << controls.size() << "});\n";
}

void SkipBlock(Parser &p) {
  while (!p.Accept("BEGIN")) p.Next();
  int depth = 1;
  while (depth > 0) {
    if (p.Accept("BEGIN"))
      ++depth;
    else if (p.Accept("END"))
      --depth;
    else
      p.Next();
  }
}

std::string Generate(const std::string &source) {
  std::vector<std::string> includes;
  Parser p(Tokenize(source, includes));
  Output out;
  while (!p.AtEnd()) {
    if (p.Accept("STRINGTABLE")) {
      p.Expect("BEGIN");
      while (!p.Accept("END")) {
        std::string id = p.Expression();
        p.Accept(",");
        out.registrations << "  compat::RegisterStringResource(" << id << ", " << Quote(p.String())
                          << ");\n";
      }
      continue;
    }
    std::string id = p.Next().text;
    Token kind = p.Next();
    if (kind.text == "DIALOG") {
      ReadDialog(p, id, out);
    } else if (kind.text == "ICON") {
      p.String();  // the program's icon is the window system's business
    } else if (kind.text == "VERSIONINFO") {
      SkipBlock(p);
    } else {
      p.Fail("unsupported resource kind " + kind.text);
    }
  }
  std::ostringstream file;
  file << "// Generated from the resource script by rc_to_tables; do not edit.\n";
  for (const std::string &include : includes) file << include << "\n";
  file << "\nnamespace {\n\n" << out.tables.str() << "\nconst bool registered = [] {\n"
       << out.registrations.str() << "  return true;\n}();\n\n}  // namespace\n";
  return file.str();
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::cerr << "usage: rc_to_tables <script.rc> <out.cpp>\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << "rc_to_tables: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::stringstream source;
  source << in.rdbuf();
  try {
    std::string generated = Generate(source.str());
    std::ifstream old(argv[2]);
    std::stringstream previous;
    previous << old.rdbuf();
    if (previous.str() == generated) return 0;  // leave the output's time alone
    std::ofstream(argv[2]) << generated;
  } catch (const std::exception &e) {
    std::cerr << argv[1] << ": " << e.what() << "\n";
    return 1;
  }
  return 0;
}
