#include "app/shell.hpp"

int main() { return app::run(); }
