/* Reads the resources linked into this program back through the system and
   compares them with files. Each line of the list file (UTF-8) is one check:

     data TYPE NAME FILE   the resource's bytes equal the file's
     icon NAME             LoadImageW makes an icon of the group
     cursor NAME           ... a cursor of the group
     bitmap NAME           ... a bitmap of the resource

   TYPE and NAME are "#" and a number, or a name. Prints one line per failure
   and exits with the number of failures. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static wchar_t* Wide(const char* text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, NULL, 0);
  wchar_t* wide = malloc(sizeof(wchar_t) * (size_t)n);
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, n);
  return wide;
}

static LPCWSTR Id(const char* text) {
  if (text[0] == '#') return MAKEINTRESOURCEW(atoi(text + 1));
  return Wide(text);
}

static int CheckData(const char* type, const char* name, const char* path) {
  HRSRC found = FindResourceW(NULL, Id(name), Id(type));
  if (!found) {
    printf("FAIL data %s %s: not found\n", type, name);
    return 1;
  }
  const DWORD size = SizeofResource(NULL, found);
  const void* bytes = LockResource(LoadResource(NULL, found));
  FILE* file = fopen(path, "rb");
  if (!file || !bytes) {
    printf("FAIL data %s %s: cannot read\n", type, name);
    return 1;
  }
  char* expected = malloc(size + 1);
  const size_t read = fread(expected, 1, size + 1, file);
  fclose(file);
  const int same = read == size && memcmp(expected, bytes, size) == 0;
  free(expected);
  if (!same) printf("FAIL data %s %s: %lu bytes differ from %s\n", type, name, (unsigned long)size, path);
  return !same;
}

static int CheckImage(const char* kind, const char* name) {
  const UINT type = strcmp(kind, "icon") == 0 ? IMAGE_ICON : strcmp(kind, "cursor") == 0 ? IMAGE_CURSOR : IMAGE_BITMAP;
  HANDLE image = LoadImageW(GetModuleHandleW(NULL), Id(name), type, 0, 0, LR_DEFAULTSIZE);
  if (!image) printf("FAIL %s %s: LoadImageW failed (%lu)\n", kind, name, GetLastError());
  return image == NULL;
}

int main(int argc, char** argv) {
  if (argc != 2) return 100;
  FILE* list = fopen(argv[1], "rb");
  if (!list) return 101;
  char line[4096];
  int failures = 0;
  int checks = 0;
  while (fgets(line, sizeof line, list)) {
    line[strcspn(line, "\r\n")] = '\0';
    char* kind = strtok(line, "\t");
    if (!kind) continue;
    char* first = strtok(NULL, "\t");
    if (strcmp(kind, "data") == 0) {
      char* name = strtok(NULL, "\t");
      char* path = strtok(NULL, "\t");
      failures += CheckData(first, name, path);
    } else {
      failures += CheckImage(kind, first);
    }
    ++checks;
  }
  fclose(list);
  printf("%d checks, %d failed\n", checks, failures);
  return failures;
}
