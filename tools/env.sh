# Where the Wine environment lives and what makes it ready; read by
# tools/install-deps, which makes it, and tools/in-env, which enters it.
VARNEL_ENV=${VARNEL_ENV:-/var/cache/varnel/wine-env}
VARNEL_ENV_STAMP=.varnel-ready
# Changed whenever the recipe changes, so that an older root is made again.
VARNEL_ENV_RECIPE="Debian 13 minbase; wine64 xvfb xauth xdotool imagemagick python3; libwine:i386 modules; stripped; 1"
