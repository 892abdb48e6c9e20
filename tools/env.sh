# Where the Wine environment lives and what makes it ready; read by
# tools/install-deps, which makes it, and tools/in-env, which enters it.
VARNEL_ENV=${VARNEL_ENV:-/var/cache/varnel/wine-env}
VARNEL_ENV_STAMP=.varnel-ready
# Changed whenever the recipe changes, so that an older root is made again.
VARNEL_ENV_RECIPE="Debian 13 minbase; wine64 wine32:i386 qemu-user xvfb xauth xdotool imagemagick python3; stripped; own 32-bit loader; 3"
# The kernel's entry that starts 32-bit programs under the environment's qemu-i386.
VARNEL_BINFMT=/proc/sys/fs/binfmt_misc/varnel-i386
