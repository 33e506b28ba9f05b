// Windows multimedia services: wave formats, RIFF file I/O over files and
// memory, the audio compression manager (PCM conversions and IMA ADPCM),
// PlaySound and timeGetTime.
#pragma once

#include "platform/win32.h"

// ---------------------------------------------------------------- results
typedef UINT MMRESULT;
#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR 1
#define MMSYSERR_BADDEVICEID 2
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_NOMEM 7
#define MMSYSERR_NOTSUPPORTED 8
#define MMSYSERR_INVALFLAG 10
#define MMSYSERR_INVALPARAM 11
#define ACMERR_NOTPOSSIBLE 512
#define ACMERR_BUSY 513
#define ACMERR_UNPREPARED 514
#define ACMERR_CANCELED 515

#define MMIOERR_BASE 256
#define MMIOERR_FILENOTFOUND (MMIOERR_BASE + 1)
#define MMIOERR_OUTOFMEMORY (MMIOERR_BASE + 2)
#define MMIOERR_CANNOTOPEN (MMIOERR_BASE + 3)
#define MMIOERR_CANNOTREAD (MMIOERR_BASE + 5)
#define MMIOERR_CANNOTSEEK (MMIOERR_BASE + 7)
#define MMIOERR_CHUNKNOTFOUND (MMIOERR_BASE + 9)
#define MMIOERR_INVALIDFILE (MMIOERR_BASE + 16)

// ---------------------------------------------------------------- wave formats
#define WAVE_FORMAT_PCM 1
#define WAVE_FORMAT_IMA_ADPCM 0x0011

#pragma pack(push, 1)
typedef struct tWAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
} WAVEFORMATEX, *PWAVEFORMATEX, *LPWAVEFORMATEX;
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;

typedef struct waveformat_tag {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
} WAVEFORMAT, *LPWAVEFORMAT;

typedef struct pcmwaveformat_tag {
    WAVEFORMAT wf;
    WORD wBitsPerSample;
} PCMWAVEFORMAT, *LPPCMWAVEFORMAT;

// IMA ADPCM: 4-bit samples in blocks; cbSize 2.
typedef struct ima_adpcmwaveformat_tag {
    WAVEFORMATEX wfx;
    WORD wSamplesPerBlock;
} IMAADPCMWAVEFORMAT, *LPIMAADPCMWAVEFORMAT;
#pragma pack(pop)

// ---------------------------------------------------------------- RIFF file I/O
typedef DWORD FOURCC;
#define mmioFOURCC(a, b, c, d) \
    ((DWORD)(BYTE)(a) | ((DWORD)(BYTE)(b) << 8) | ((DWORD)(BYTE)(c) << 16) | ((DWORD)(BYTE)(d) << 24))
#define FOURCC_RIFF mmioFOURCC('R', 'I', 'F', 'F')
#define FOURCC_LIST mmioFOURCC('L', 'I', 'S', 'T')
#define FOURCC_DOS mmioFOURCC('D', 'O', 'S', ' ')
#define FOURCC_MEM mmioFOURCC('M', 'E', 'M', ' ')

struct MultimediaStream;
typedef MultimediaStream* HMMIO;
typedef LONG(CALLBACK* LPMMIOPROC)(LPSTR info, UINT message, LPARAM param1, LPARAM param2);

typedef struct _MMIOINFO {
    DWORD dwFlags;
    FOURCC fccIOProc;  // FOURCC_MEM: the stream is the buffer below
    LPMMIOPROC pIOProc;
    UINT wErrorRet;
    HANDLE htask;
    LONG cchBuffer;  // bytes of the memory stream
    LPSTR pchBuffer;
    LPSTR pchNext;
    LPSTR pchEndRead;
    LPSTR pchEndWrite;
    LONG lBufOffset;
    LONG lDiskOffset;
    DWORD adwInfo[3];  // memory streams: adwInfo[0] is the growth, 0 for none
    DWORD dwReserved1;
    DWORD dwReserved2;
    HMMIO hmmio;
} MMIOINFO, *LPMMIOINFO;

typedef struct _MMCKINFO {
    FOURCC ckid;
    DWORD cksize;
    FOURCC fccType;
    DWORD dwDataOffset;
    DWORD dwFlags;
} MMCKINFO, *LPMMCKINFO;

#define MMIO_READ 0x00000000
#define MMIO_WRITE 0x00000001
#define MMIO_READWRITE 0x00000002
#define MMIO_CREATE 0x00001000
#define MMIO_ALLOCBUF 0x00010000
#define MMIO_DENYNONE 0x00000040
#define MMIO_FINDCHUNK 0x0010
#define MMIO_FINDRIFF 0x0020
#define MMIO_FINDLIST 0x0040
#define MMIO_DIRTY 0x10000000
#define SEEK_SET_MM 0

// Opens a file by path, or (name null, info->fccIOProc FOURCC_MEM) a read-only
// stream over info->pchBuffer. Null on failure, with info->wErrorRet set.
HMMIO mmioOpenA(LPSTR name, LPMMIOINFO info, DWORD flags);
#define mmioOpen mmioOpenA
MMRESULT mmioClose(HMMIO stream, UINT flags);
// Bytes read (0 at the end), -1 on error.
LONG mmioRead(HMMIO stream, char* buffer, LONG count);
// The new offset, -1 on error. origin: SEEK_SET, SEEK_CUR, SEEK_END.
LONG mmioSeek(HMMIO stream, LONG offset, int origin);
// Enters a chunk: with MMIO_FINDRIFF/FINDLIST/FINDCHUNK the first one of
// that id (and form type) is searched within the parent, else the next
// chunk is taken. The stream stands at the chunk's data afterwards.
MMRESULT mmioDescend(HMMIO stream, LPMMCKINFO chunk, const MMCKINFO* parent, UINT flags);
// Leaves a chunk: the stream stands after its data (and pad byte).
MMRESULT mmioAscend(HMMIO stream, LPMMCKINFO chunk, UINT flags);

// ---------------------------------------------------------------- audio compression
struct AcmStream;
struct AcmDriver;
typedef AcmStream* HACMSTREAM;
typedef AcmDriver* HACMDRIVERID;
typedef void* HACMDRIVER;
typedef void* HACMOBJ;
typedef HACMSTREAM* LPHACMSTREAM;
typedef HACMDRIVERID* LPHACMDRIVERID;

#define ACM_METRIC_MAX_SIZE_FORMAT 50
#define ACM_FORMATSUGGESTF_WFORMATTAG 0x00010000
#define ACM_FORMATSUGGESTF_NCHANNELS 0x00020000
#define ACM_FORMATSUGGESTF_NSAMPLESPERSEC 0x00040000
#define ACM_FORMATSUGGESTF_WBITSPERSAMPLE 0x00080000
#define ACM_STREAMOPENF_QUERY 0x00000001
#define ACM_STREAMOPENF_ASYNC 0x00000002
#define ACM_STREAMOPENF_NONREALTIME 0x00000004
#define ACM_STREAMSIZEF_SOURCE 0x00000000
#define ACM_STREAMSIZEF_DESTINATION 0x00000001
#define ACM_STREAMCONVERTF_BLOCKALIGN 0x00000004
#define ACM_STREAMCONVERTF_START 0x00000010
#define ACM_STREAMCONVERTF_END 0x00000020
#define ACMSTREAMHEADER_STATUSF_DONE 0x00010000
#define ACMSTREAMHEADER_STATUSF_PREPARED 0x00020000

typedef struct tACMSTREAMHEADER {
    DWORD cbStruct;
    DWORD fdwStatus;
    DWORD_PTR dwUser;
    LPBYTE pbSrc;
    DWORD cbSrcLength;
    DWORD cbSrcLengthUsed;
    DWORD_PTR dwSrcUser;
    LPBYTE pbDst;
    DWORD cbDstLength;
    DWORD cbDstLengthUsed;
    DWORD_PTR dwDstUser;
    DWORD dwReservedDriver[10];
} ACMSTREAMHEADER, *LPACMSTREAMHEADER;

#define ACMDRIVERDETAILS_SHORTNAME_CHARS 32
#define ACMDRIVERDETAILS_LONGNAME_CHARS 128
#define ACMDRIVERDETAILS_COPYRIGHT_CHARS 80
#define ACMDRIVERDETAILS_LICENSING_CHARS 128
#define ACMDRIVERDETAILS_FEATURES_CHARS 512
typedef struct tACMDRIVERDETAILSA {
    DWORD cbStruct;
    FOURCC fccType;
    FOURCC fccComp;
    WORD wMid;
    WORD wPid;
    DWORD vdwACM;
    DWORD vdwDriver;
    DWORD fdwSupport;
    DWORD cFormatTags;
    DWORD cFilterTags;
    HICON hicon;
    char szShortName[ACMDRIVERDETAILS_SHORTNAME_CHARS];
    char szLongName[ACMDRIVERDETAILS_LONGNAME_CHARS];
    char szCopyright[ACMDRIVERDETAILS_COPYRIGHT_CHARS];
    char szLicensing[ACMDRIVERDETAILS_LICENSING_CHARS];
    char szFeatures[ACMDRIVERDETAILS_FEATURES_CHARS];
} ACMDRIVERDETAILSA, ACMDRIVERDETAILS, *LPACMDRIVERDETAILSA, *LPACMDRIVERDETAILS;
#define ACMDRIVERDETAILS_FCCTYPE_AUDIOCODEC mmioFOURCC('a', 'u', 'd', 'c')

// ACM_METRIC_MAX_SIZE_FORMAT: the largest format block any driver uses.
MMRESULT acmMetrics(HACMOBJ object, UINT metric, LPVOID value);
// The format the source is best converted to: PCM for a compressed source,
// the source itself for PCM; the flags fix fields of the destination.
MMRESULT acmFormatSuggest(HACMDRIVER driver, LPWAVEFORMATEX source, LPWAVEFORMATEX destination, DWORD size,
                          DWORD flags);
MMRESULT acmStreamOpen(LPHACMSTREAM stream, HACMDRIVER driver, LPWAVEFORMATEX source, LPWAVEFORMATEX destination,
                       LPVOID filter, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
MMRESULT acmStreamClose(HACMSTREAM stream, DWORD flags);
// ACM_STREAMSIZEF_SOURCE: input bytes -> the most output bytes they make.
MMRESULT acmStreamSize(HACMSTREAM stream, DWORD input, LPDWORD output, DWORD flags);
MMRESULT acmStreamPrepareHeader(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD flags);
MMRESULT acmStreamUnprepareHeader(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD flags);
// Converts whole blocks of pbSrc; cbDstLengthUsed tells the bytes made.
MMRESULT acmStreamConvert(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD flags);
MMRESULT acmDriverID(HACMOBJ object, LPHACMDRIVERID driver, DWORD flags);
MMRESULT acmDriverDetailsA(HACMDRIVERID driver, LPACMDRIVERDETAILSA details, DWORD flags);
#define acmDriverDetails acmDriverDetailsA

// ---------------------------------------------------------------- PlaySound
#define SND_SYNC 0x0000
#define SND_ASYNC 0x0001
#define SND_NODEFAULT 0x0002
#define SND_MEMORY 0x0004
#define SND_LOOP 0x0008
#define SND_NOSTOP 0x0010
#define SND_NOWAIT 0x00002000
#define SND_ALIAS 0x00010000
#define SND_FILENAME 0x00020000
#define SND_RESOURCE 0x00040004
#define SND_PURGE 0x0040

// Plays a wave file (SND_FILENAME) or a wave image in memory (SND_MEMORY)
// through the sound device, replacing any sound it played before; a null
// sound stops it. Without SND_ASYNC the call returns once the sound ends.
BOOL PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags);
#define PlaySound PlaySoundA

// ---------------------------------------------------------------- time
DWORD timeGetTime();
