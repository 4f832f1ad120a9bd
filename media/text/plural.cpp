#include "media/text/plural.hpp"

#include <cctype>
#include <string>

namespace media {

struct PluralRule::Node {
  enum class Kind { Number, N, Not, Binary, Choice } kind = Kind::Number;
  unsigned long value = 0;  // Number
  std::string op;           // Binary
  std::unique_ptr<Node> a, b, c;
};

namespace {

using Node = PluralRule::Node;
using NodePtr = std::unique_ptr<Node>;

// Recursive descent over the C operators gettext allows, by falling precedence:
// ?:  ||  &&  == !=  < > <= >=  + -  * / %  !  (number, n, parentheses).
// Nesting is bounded, so a hostile header cannot run the stack out.
class Parser {
 public:
  explicit Parser(std::string_view s) : s_(s) {}

  NodePtr whole() {
    NodePtr e = choice();
    skip();
    return e && pos_ == s_.size() ? std::move(e) : nullptr;
  }

 private:
  static constexpr int kMaxDepth = 64;
  static constexpr int kMaxNodes = 256;
  int nodes_ = 0;
  std::string_view s_;
  size_t pos_ = 0;
  int depth_ = 0;

  void skip() {
    while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
  }
  bool eat(std::string_view tok) {
    skip();
    if (s_.substr(pos_, tok.size()) != tok) return false;
    pos_ += tok.size();
    return true;
  }
  // Chains of one level ("n+n+n...") grow the tree without nesting: the nodes are counted too.
  NodePtr binary(std::string op, NodePtr a, NodePtr b) {
    if (!a || !b || ++nodes_ > kMaxNodes) return nullptr;
    auto n = std::make_unique<Node>();
    n->kind = Node::Kind::Binary;
    n->op = std::move(op);
    n->a = std::move(a);
    n->b = std::move(b);
    return n;
  }

  NodePtr choice() {
    if (++depth_ > kMaxDepth) return nullptr;
    NodePtr cond = level(0);
    if (cond && eat("?")) {
      auto n = std::make_unique<Node>();
      n->kind = Node::Kind::Choice;
      n->a = std::move(cond);
      n->b = choice();
      if (!n->b || !eat(":")) return nullptr;
      n->c = choice();
      if (!n->c) return nullptr;
      cond = std::move(n);
    }
    --depth_;
    return cond;
  }

  // Binary levels, loosest first; within a level the operators group to the left.
  NodePtr level(int l) {
    static const std::string_view kLevels[][4] = {
        {"||"}, {"&&"}, {"==", "!="}, {"<=", ">=", "<", ">"}, {"+", "-"}, {"*", "/", "%"}};
    if (l == 6) return unary();
    NodePtr left = level(l + 1);
    for (bool more = true; left && more;) {
      more = false;
      for (std::string_view op : kLevels[l]) {
        if (op.empty() || !eat(op)) continue;
        left = binary(std::string(op), std::move(left), level(l + 1));
        more = true;
        break;
      }
    }
    return left;
  }

  NodePtr unary() {
    if (++depth_ > kMaxDepth) return nullptr;
    NodePtr r;
    skip();
    if (eat("!")) {
      r = std::make_unique<Node>();
      r->kind = Node::Kind::Not;
      r->a = unary();
      if (!r->a) r = nullptr;
    } else if (eat("(")) {
      r = choice();
      if (!eat(")")) r = nullptr;
    } else if (eat("n")) {
      r = std::make_unique<Node>();
      r->kind = Node::Kind::N;
    } else if (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) {
      r = std::make_unique<Node>();
      while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_])) && r->value < 1000000000)
        r->value = r->value * 10 + static_cast<unsigned long>(s_[pos_++] - '0');
    }
    --depth_;
    return r;
  }
};

unsigned long eval(const Node& e, unsigned long n) {
  switch (e.kind) {
    case Node::Kind::Number: return e.value;
    case Node::Kind::N: return n;
    case Node::Kind::Not: return !eval(*e.a, n);
    case Node::Kind::Choice: return eval(*e.a, n) ? eval(*e.b, n) : eval(*e.c, n);
    case Node::Kind::Binary: break;
  }
  const unsigned long a = eval(*e.a, n), b = eval(*e.b, n);
  const std::string& op = e.op;
  if (op == "||") return a || b;
  if (op == "&&") return a && b;
  if (op == "==") return a == b;
  if (op == "!=") return a != b;
  if (op == "<") return a < b;
  if (op == ">") return a > b;
  if (op == "<=") return a <= b;
  if (op == ">=") return a >= b;
  if (op == "+") return a + b;
  if (op == "-") return a - b;
  if (op == "*") return a * b;
  if (op == "/") return b ? a / b : 0;  // a broken rule, not a crash
  return b ? a % b : 0;
}

// The value after "key=" in "nplurals=2; plural=...;", up to the next ';' (or the end).
std::string_view field(std::string_view s, std::string_view key) {
  for (size_t at = s.find(key); at != std::string_view::npos; at = s.find(key, at + 1)) {
    size_t p = at + key.size();
    while (p < s.size() && s[p] == ' ') ++p;
    if (p >= s.size() || s[p] != '=') continue;
    const size_t end = s.find(';', p + 1);
    return s.substr(p + 1, end == std::string_view::npos ? std::string_view::npos : end - p - 1);
  }
  return {};
}

}  // namespace

PluralRule::PluralRule() { parse("nplurals=2; plural=(n != 1);"); }
PluralRule::~PluralRule() = default;
PluralRule::PluralRule(PluralRule&&) noexcept = default;
PluralRule& PluralRule::operator=(PluralRule&&) noexcept = default;

bool PluralRule::parse(std::string_view plural_forms) {
  const std::string_view count = field(plural_forms, "nplurals");
  unsigned long forms = 0;
  for (char c : count) {
    if (c == ' ') continue;
    if (!std::isdigit(static_cast<unsigned char>(c)) || forms > 100) return false;
    forms = forms * 10 + static_cast<unsigned long>(c - '0');
  }
  if (forms == 0 || forms > 100) return false;
  NodePtr e = Parser(field(plural_forms, "plural")).whole();
  if (!e) return false;
  forms_ = forms;
  expr_ = std::move(e);
  return true;
}

unsigned long PluralRule::form(unsigned long n) const {
  const unsigned long f = expr_ ? eval(*expr_, n) : 0;
  return f < forms_ ? f : 0;
}

}  // namespace media
