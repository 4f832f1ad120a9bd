#include "activities/register.hpp"
#include "app/shell.hpp"

int main() { return app::run(activities::activity_table()); }
