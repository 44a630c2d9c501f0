#!/bin/sh
# scripts/check-layers.sh on small trees: each case is one include put in one
# folder, and whether the check must let it through.
#   tests/scripts/check_layers_test.sh SCRIPT
script=$1
work=$(mktemp -d) || exit 2
trap 'rm -rf "$work"' EXIT
failures=0

check() { # folder, include line, expected exit status (0 passes, 1 climbs)
  rm -rf "$work/tree"
  for d in engine form formats files cli ui app web; do mkdir -p "$work/tree/$d"; done
  printf '%s\n' "$2" > "$work/tree/$1/x.cpp"
  "$script" "$work/tree" > /dev/null
  got=$?
  if [ "$got" != "$3" ]; then
    echo "FAIL: $1 with '$2': exit $got, expected $3"
    failures=$((failures + 1))
  fi
}

check engine '#include "engine/internal/run.h"' 0
check engine '#include "form/fields.h"' 1
check form '#include "engine/design.h"' 0
check form '#include "formats/json_text.h"' 1
check formats '#include "form/form_member.h"' 0
check formats '#include "files/file_io.h"' 1
check files '#include "formats/design_object.h"' 0
check files '  #  include "cli/batch.h"' 1
check cli '#include "files/file_io.h"' 0
check cli '#include "ui/Unit1.h"' 1
check ui '#include "files/armoury_folder.h"' 0
check ui '#include "cli/batch.h"' 1
check app '#include "ui/Unit1.h"' 0
check web '#include "formats/design_object.h"' 0
check web '#include "files/file_io.h"' 1
check ui '#include "web/bridge.h"' 1
# A bare name is found through whichever folder holds it, so it is refused.
check form '#include "design.h"' 1
# System headers are not the project's layers.
check engine '#include <vector>' 0

[ $failures = 0 ]
