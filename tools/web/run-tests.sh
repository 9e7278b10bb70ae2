#!/usr/bin/env bash
# Runs the browser tests in tests/web against build-web/, or with arguments
# another node script that drives the browser through their harness (the
# page's benchmark). Installs their one package from the committed lockfile
# first, and only when it has changed, so that later runs need no network; no
# browser is ever downloaded.
# Usage: tools/web/run-tests.sh [SCRIPT [ARGUMENT]...]   (SCRIPT from the repository)
set -euo pipefail
repository=$(cd "$(dirname "$0")/../.." && pwd)
cd "$repository/tests/web"
export PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1
if [[ ! node_modules/.package-lock.json -nt package-lock.json ]]; then
    npm ci --prefer-offline --no-audit --no-fund --loglevel=error
fi
if [[ $# -gt 0 ]]; then
    script=$1
    shift
    exec node "$repository/$script" "$@"
fi
node --test --test-concurrency=1 ./*.test.mjs
