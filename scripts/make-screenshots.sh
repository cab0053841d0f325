#!/usr/bin/env bash
# Regenerates the README's pictures of the wizard (docs/images/wizard-*.png)
# from a whole interactive installation of the example (examples/hello)
# under Wine: the end-to-end GUI test drives it in English and photographs
# every page, the tests of the confirmation pages photograph theirs; this
# script copies those pictures, stripped of metadata.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="${JOBS:-2}"
make -C "$root" windows native JOBS="$jobs" >/dev/null
cd "$root/build/native"
rm -f test-artefacts/hello-en-*.png
# The test makes its own X server; ctest sets up the Wine prefix first.
ctest -R 'WizardEndToEndGui.*/English' --output-on-failure
mkdir -p "$root/docs/images"
for page in language greeting licence folder progress finish; do
    convert "test-artefacts/hello-en-$page.png" -strip "$root/docs/images/wizard-$page.png"
done
# The password, start-menu, summary and must-uninstall pages, from the
# tests of the questions around an installation.
ctest -R 'WizardQuestionsGui\.(Password|Existing)' --output-on-failure
for page in password start-menu summary must-uninstall; do
    convert "test-artefacts/wizard-$page.png" -strip "$root/docs/images/wizard-$page.png"
done
# The whole screen at the end, halved: the background window with its title.
convert test-artefacts/hello-en-finish-screen.png -strip -resize 50% "$root/docs/images/wizard-screen.png"
ls -l "$root"/docs/images/wizard-*.png
