#!/usr/bin/env bash
# Fails when a file of the core includes a layer it may not depend on. The
# direction, as the CMake targets link them: host and platform depend on
# nothing, procs on host and platform, forms on platform and procs, and
# connectors on all of them. Tests (src/*/tests) may include anything. And
# no file of the core includes a Windows header: the core builds and runs
# on any platform.
set -u
cd "$(dirname "$0")/../src"
allowed() {  # allowed LAYER: the layers it may include
  case $1 in
    host) echo host ;;
    platform) echo platform ;;
    procs) echo procs host platform ;;
    forms) echo forms platform procs ;;
    connectors) echo connectors host platform procs forms ;;
    *) echo none ;;
  esac
}
bad=0
while IFS=: read -r file include; do
  layer=${file%%/*}
  target=$(sed -n 's/.*#include "\([a-z_]*\)\/.*/\1/p' <<< "$include")
  [ -n "$target" ] || continue
  if ! grep -qw "$target" <<< "$(allowed "$layer")"; then
    echo "src/$file includes $target/, against the direction of the layers"
    bad=1
  fi
done < <(grep -rH '#include "' --include=*.h --include=*.cpp . | sed 's|^\./||' | grep -v '/tests/')
while IFS= read -r line; do
  echo "src/$line: a Windows header in the core"
  bad=1
done < <(grep -rniE '#include <(windows|winuser|winbase|ole2|oleauto|objbase|unknwn)\.h>' \
           --include=*.h --include=*.cpp . | sed 's|^\./||')
[ "$bad" -eq 0 ] && echo "layers: every include follows host, platform <- procs <- forms <- connectors"
exit "$bad"
