// A language's rule for choosing among the forms of a counted text: the C expression in n of a
// catalogue header's Plural-Forms line ("nplurals=3; plural=(n==1 ? 0 : n%10>=2 && ... );").
#pragma once
#include <memory>
#include <string_view>

namespace media {

class PluralRule {
 public:
  // English's rule: one form for 1, the other for every other count.
  PluralRule();
  ~PluralRule();
  PluralRule(PluralRule&&) noexcept;
  PluralRule& operator=(PluralRule&&) noexcept;

  // Reads the rule from a Plural-Forms value; false (and the rule unchanged) when it is not one.
  bool parse(std::string_view plural_forms);
  // The form to use for n, below forms(); anything the expression yields past that is form 0.
  unsigned long form(unsigned long n) const;
  unsigned long forms() const { return forms_; }

  struct Node;

 private:
  unsigned long forms_ = 2;
  std::unique_ptr<Node> expr_;
};

}  // namespace media
