// brennick-cli: turns JSON designs into statblocks (see cli.h).
#include "cli/cli.h"

int main(int argc, char** argv) {
  return brennick::cli::Main(argc, argv);
}
