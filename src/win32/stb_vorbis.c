/* The Ogg Vorbis decoder the themes' renders are played with: Debian's
   stb_vorbis (libstb-dev), compiled here, for Windows only. The files are
   read from memory. */
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include TORVENKA_STB_VORBIS
