#!/usr/bin/env bash
# Fails when a file of the core includes a layer it may not depend on, or
# declares something in that layer's namespace (a forward declaration). The
# direction, as the CMake targets link them: host and platform depend on
# nothing, procs on host and platform, forms on platform and procs, and
# connectors on all of them. Tests (src/*/tests) and their helpers
# (src/*/testing) may include anything. And no file of the core includes a
# Windows header: the core builds and runs on any platform.
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
done < <(grep -rH '#include "' --include=*.h --include=*.cpp . | sed 's|^\./||' | grep -v '/tests/\|/testing/')
# A forward declaration (or any code) in another layer's namespace is a
# dependency on that layer as much as an include is. The one exception: the
# platform's dialog toolkit shows the forms' Form, which it names but never
# reaches into; undoing that means moving the toolkit and the platform
# bundle that every binary builds.
while IFS=: read -r file _ text; do
  layer=${file%%/*}
  target=$(sed -n 's/.*namespace frambolist::\([a-z_]*\).*/\1/p' <<< "$text")
  [ -n "$target" ] || continue
  [ "$file:$target" = "platform/platform.h:forms" ] && continue
  if ! grep -qw "$target" <<< "$(allowed "$layer")"; then
    echo "src/$file declares in $target's namespace, against the direction of the layers"
    bad=1
  fi
done < <(grep -rnH 'namespace frambolist::[a-z_]*' --include=*.h --include=*.cpp . | sed 's|^\./||' | grep -v '/tests/\|/testing/')
while IFS= read -r line; do
  echo "src/$line: a Windows header in the core"
  bad=1
done < <(grep -rniE '#include <(windows|winuser|winbase|ole2|oleauto|objbase|unknwn)\.h>' \
           --include=*.h --include=*.cpp . | sed 's|^\./||')
[ "$bad" -eq 0 ] && echo "layers: every include follows host, platform <- procs <- forms <- connectors"
exit "$bad"
