/* Finds each resource of the pool by the names the generated header gives
   and prints its size; ends with 1 when one is missing or not the size the
   header says. */
#include <windows.h>
#include <stdio.h>

#include "pool_resources.h"

static int Show(const char *key, LPCWSTR name, LPCWSTR type, unsigned long expected) {
  HRSRC found = FindResourceW(NULL, name, type);
  DWORD size;
  if (found == NULL) {
    printf("%s: not found\n", key);
    return 1;
  }
  size = SizeofResource(NULL, found);
  printf("%s: %lu bytes\n", key, (unsigned long)size);
  if (size != expected) {
    printf("%s: the header says %lu bytes\n", key, expected);
    return 1;
  }
  return 0;
}

static int ShowGreeting(void) {
  HRSRC found = FindResourceW(NULL, RES_GREETING_NAME, RES_GREETING_TYPE);
  HGLOBAL loaded = found ? LoadResource(NULL, found) : NULL;
  const char *text = loaded ? (const char *)LockResource(loaded) : NULL;
  if (text == NULL) return 1;
  printf("GREETING says: %.*s", (int)RES_GREETING_SIZE, text);
  return 0;
}

int main(void) {
  int failures = 0;
  failures += Show("APP", RES_APP_NAME, RES_APP_TYPE, RES_APP_SIZE);
  failures += Show("LOGO", RES_LOGO_NAME, RES_LOGO_TYPE, RES_LOGO_SIZE);
  failures += Show("GREETING", RES_GREETING_NAME, RES_GREETING_TYPE, RES_GREETING_SIZE);
  failures += Show("7", RES_7_NAME, RES_7_TYPE, RES_7_SIZE);
  failures += ShowGreeting();
  return failures == 0 ? 0 : 1;
}
