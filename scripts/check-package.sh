#!/usr/bin/env bash
# Builds the Debian package from a release build and checks it as Debian
# would: lintian must report no error, the desktop entry and the AppStream
# data must validate. The checking tools are installed when Debian has them.
set -euo pipefail
cd "$(dirname "$0")/.."
tools=()
for p in lintian desktop-file-utils appstream dpkg-dev; do
  # Only what this release of Debian offers; elsewhere the check is skipped.
  if apt-cache policy "$p" 2>/dev/null | grep -q 'Candidate: [^(]'; then tools+=("$p"); fi
done
scripts/setup-deps.sh "${tools[@]}"

status=0
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate packaging/vesko.desktop || status=1
else
  echo "check-package: desktop-file-validate not available; skipped" >&2
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net packaging/org.vesko.Vesko.metainfo.xml || status=1
else
  echo "check-package: appstreamcli not available; skipped" >&2
fi

bash -n packaging/completions/vesko.bash || status=1
if command -v zsh >/dev/null; then zsh -n packaging/completions/_vesko || status=1; fi

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESKO_BUILD_TESTS=OFF >/dev/null
cmake --build build-release
(cd build-release && cpack -G DEB >/dev/null)
deb=$(ls build-release/vesko_*.deb | head -n 1)
echo "check-package: built $deb"
if command -v lintian >/dev/null; then
  # Errors fail the check; warnings are shown for the record.
  lintian --fail-on error --tag-display-limit 0 "$deb" || status=1
else
  echo "check-package: lintian not available; skipped" >&2
fi
exit $status
