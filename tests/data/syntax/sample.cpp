// sample.cpp : 表示ソフトのサンプル
#include <windows.h>
#include "resource.h"   /* リソース */ // 注釈
#define MAX_LEN 256 /* 最大長 */ + 1
  #  define  INDENTED  1
int a = 1; # not a directive

/*
 * 複数行のコメント 表
 */
static const char *s_pszTitle = "表示テスト";
static const char s_chYen = '\\';
static const char *s_psz2 = "能";   // 能 ends in 0x5C
static const char *s_psz3 = "能\" still open";
LPCSTR g_psz = "ソ\"続く\\";
DWORD WINAPI ThreadProc(LPVOID lpParam)
{
    int nCount = 0x1F + 10 - 0X1F;
    double d = 3.14e+2 * 1.5;
    long l = 10L;
    if (nCount > 0 && d != 0.0) {
        nCount = a.b + c->d;
    }
    BOOL bOk = TRUE; bool ok = true; If dword;
    return (DWORD)nCount;
}
/*/ still a comment */ int after;
char *p = "line continued \
on the next line";
// comment continued \
still a comment
// 予定表
int z = sizeof(char); /* one */ int y = 2;
const char *q = "unterminated
int w;
