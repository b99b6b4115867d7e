#include "interop/VCard.h"

#include <QStringDecoder>
#include <cctype>

#include "interop/ContentLines.h"
#include "interop/InteropError.h"

namespace Interop {

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string DecodeQuotedPrintable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '=' && i + 2 < text.size() + 0 && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// RFC 6868: ^n, ^^ and ^' in parameter values.
std::string DecodeCaret(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '^' && i + 1 < text.size()) {
      const char next = text[i + 1];
      if (next == 'n' || next == 'N') {
        out += '\n';
        ++i;
        continue;
      }
      if (next == '^' || next == '\'') {
        out += next == '^' ? '^' : '"';
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

// Splits "a,b,\"c,d\"" at commas outside quotes, dropping the quotes.
std::vector<std::string> ParamValues(std::string_view text) {
  std::vector<std::string> values;
  std::string current;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      values.push_back(DecodeCaret(current));
      current.clear();
    } else {
      current += c;
    }
  }
  values.push_back(DecodeCaret(current));
  return values;
}

}  // namespace

VCardProperty ParseContentLine(const ContentLine& line) {
  VCardProperty property;
  const std::string& text = line.text;
  // The value starts at the first colon outside a quoted parameter value.
  size_t colon = std::string::npos;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (text[i] == ':' && !quoted) {
      colon = i;
      break;
    }
  }
  if (colon == std::string::npos) throw InteropError(line.line, "a property without a value (no \":\")");
  const std::string_view head = std::string_view(text).substr(0, colon);
  std::vector<std::string_view> pieces;
  quoted = false;
  size_t start = 0;
  for (size_t i = 0; i <= head.size(); ++i) {
    if (i < head.size() && head[i] == '"') quoted = !quoted;
    if (i == head.size() || (head[i] == ';' && !quoted)) {
      pieces.push_back(head.substr(start, i - start));
      start = i + 1;
    }
  }
  std::string_view name = pieces.front();
  if (const size_t dot = name.find('.'); dot != std::string_view::npos) {
    property.group = std::string(name.substr(0, dot));
    name.remove_prefix(dot + 1);
  }
  if (name.empty()) throw InteropError(line.line, "a property without a name");
  property.name = Upper(name);
  std::string encoding;
  std::string charset;
  for (size_t p = 1; p < pieces.size(); ++p) {
    const std::string_view piece = pieces[p];
    if (piece.empty()) continue;
    const size_t equals = piece.find('=');
    VCardProperty::Param param;
    if (equals == std::string_view::npos) {
      // vCard 2.1 writes the value alone: WORK, QUOTED-PRINTABLE, UTF-8.
      const std::string bare = Upper(piece);
      if (bare == "QUOTED-PRINTABLE" || bare == "BASE64" || bare == "8BIT" || bare == "7BIT") {
        param = {"ENCODING", {bare}};
      } else {
        param = {"TYPE", {std::string(piece)}};
      }
    } else {
      param = {Upper(piece.substr(0, equals)), ParamValues(piece.substr(equals + 1))};
    }
    if (param.name == "ENCODING" && !param.values.empty()) encoding = Upper(param.values.front());
    if (param.name == "CHARSET" && !param.values.empty()) charset = Upper(param.values.front());
    // Several TYPE parameters are one list.
    VCardProperty::Param* same = nullptr;
    for (VCardProperty::Param& known : property.params) {
      if (known.name == param.name && param.name == "TYPE") same = &known;
    }
    if (same) {
      same->values.insert(same->values.end(), param.values.begin(), param.values.end());
    } else {
      property.params.push_back(std::move(param));
    }
  }
  std::string value = text.substr(colon + 1);
  if (encoding == "QUOTED-PRINTABLE") value = DecodeQuotedPrintable(value);
  if (!charset.empty() && charset != "UTF-8" && charset != "US-ASCII") {
    QStringDecoder decoder(charset.c_str());
    if (!decoder.isValid()) throw InteropError(line.line, "the character set \"" + charset + "\" is not known");
    value = QString(decoder(QByteArrayView(value.data(), static_cast<qsizetype>(value.size())))).toStdString();
  }
  // Bytes that a transfer encoding or character set made (a program's fault,
  // not the file's) become replacement characters; the kept card keeps them.
  if (!IsUtf8(value)) value = QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())).toStdString();
  property.value = std::move(value);
  return property;
}

namespace {

std::string ParamText(const VCardProperty::Param& param) {
  std::string text = param.name + "=";
  for (size_t i = 0; i < param.values.size(); ++i) {
    const std::string& value = param.values[i];
    if (i) text += ',';
    const bool quote = value.find_first_of(",;:") != std::string::npos;
    if (quote) text += '"';
    for (char c : value) {
      if (c == '\n') {
        text += "^n";
      } else if (c == '^') {
        text += "^^";
      } else if (c == '"') {
        text += "^'";
      } else {
        text += c;
      }
    }
    if (quote) text += '"';
  }
  return text;
}

}  // namespace

std::vector<std::string> VCardProperty::Types() const {
  std::vector<std::string> types;
  for (const Param& param : params) {
    if (param.name != "TYPE") continue;
    for (const std::string& value : param.values) types.push_back(Lower(value));
  }
  return types;
}

const VCardProperty::Param* VCardProperty::FindParam(std::string_view wanted) const {
  for (const Param& param : params) {
    if (param.name == wanted) return &param;
  }
  return nullptr;
}

const VCardProperty* VCard::Find(std::string_view wanted) const {
  for (const VCardProperty& property : properties) {
    if (property.name == wanted) return &property;
  }
  return nullptr;
}

std::vector<VCard> ReadVCards(std::string_view file) {
  const std::vector<ContentLine> lines = SplitContentLines(file);
  CheckStructure(lines, "VCARD");
  std::vector<VCard> cards;
  VCard card;
  int depth = 0;
  size_t first = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const ContentLine& line = lines[i];
    const std::string name = PropertyName(line.text);
    if (name == "BEGIN") {
      if (depth++ == 0) {
        card = VCard{line.line, "", {}, ""};
        first = i;
        continue;
      }
    } else if (name == "END") {
      if (--depth == 0) {
        card.text = RawText(file, lines, first, i);
        if (card.version.empty()) throw InteropError(card.line, "a vCard without a VERSION");
        cards.push_back(std::move(card));
        continue;
      }
    }
    if (depth > 1 || name == "END") continue;  // an embedded card (AGENT) stays in the text only
    VCardProperty property = ParseContentLine(line);
    if (property.name == "VERSION") {
      card.version = property.value;
      if (card.version != "2.1" && card.version != "3.0" && card.version != "4.0") {
        throw InteropError(line.line, "vCard version \"" + card.version + "\" is not 2.1, 3.0 or 4.0");
      }
      continue;
    }
    card.properties.push_back(std::move(property));
  }
  return cards;
}

std::string WriteVCard(const std::vector<VCardProperty>& properties) {
  std::string out = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
  for (const VCardProperty& property : properties) {
    std::string line;
    if (!property.group.empty()) line = property.group + ".";
    line += property.name;
    for (const VCardProperty::Param& param : property.params) {
      // Undone when read; 3.0 has its own names for base64.
      if (param.name == "CHARSET") continue;
      if (param.name == "ENCODING") {
        const std::string encoding = param.values.empty() ? "" : Upper(param.values.front());
        if (encoding == "BASE64" || encoding == "B") line += ";ENCODING=b";
        continue;
      }
      line += ";" + ParamText(param);
    }
    line += ":" + property.value;
    out += FoldLine(line);
  }
  out += "END:VCARD\r\n";
  return out;
}

std::string EscapeValue(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': break;
      case ',': out += "\\,"; break;
      case ';': out += "\\;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string UnescapeValue(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      const char next = value[++i];
      out += (next == 'n' || next == 'N') ? '\n' : next;
    } else if (value[i] != '\r' && (static_cast<unsigned char>(value[i]) >= 0x20 || value[i] == '\n' ||
                                    value[i] == '\t')) {
      out += value[i];
    }
  }
  return out;
}

std::vector<std::string> SplitValue(std::string_view value, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0; i <= value.size(); ++i) {
    if (i < value.size() && value[i] == '\\') {
      ++i;
      continue;
    }
    if (i == value.size() || value[i] == separator) {
      parts.push_back(UnescapeValue(value.substr(start, i - start)));
      start = i + 1;
    }
  }
  return parts;
}

}  // namespace Interop
