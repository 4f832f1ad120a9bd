#include "activities/register.hpp"
#include "app/shell.hpp"

int main() {
  activities::register_all();
  return app::run();
}
