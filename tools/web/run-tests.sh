#!/usr/bin/env bash
# Runs the browser tests in tests/web against build-web/. Installs their one
# package from the committed lockfile first, and only when it has changed, so
# that later runs need no network; no browser is ever downloaded.
set -euo pipefail
cd "$(dirname "$0")/../../tests/web"
export PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1
if [[ ! node_modules/.package-lock.json -nt package-lock.json ]]; then
    npm ci --prefer-offline --no-audit --no-fund --loglevel=error
fi
node --test --test-concurrency=1 ./*.test.mjs
