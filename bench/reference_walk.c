/* The least a scan can do: walk, stat each regular file, open it, read 330 bytes, close it.
   filemend-scan is measured against this loop on the same tree. */
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static unsigned long files;
static unsigned long opened;

static void walk(char* path, size_t len)
{
    DIR* dir = opendir(path);
    if (!dir)
        return;
    struct dirent* d;
    char head[330];
    /* Files first, then folders, as the scan does: two passes over the folder. */
    while ((d = readdir(dir)) != NULL) {
        if (d->d_type != DT_REG)
            continue;
        ++files;
        struct stat st;
        if (fstatat(dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (st.st_size < 10 || st.st_size > 5481600)
            continue;
        size_t n = strlen(d->d_name);
        memcpy(path + len, d->d_name, n + 1);
        int fd = open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ++opened;
            if (read(fd, head, sizeof head) < 0)
                head[0] = 0;
            close(fd);
        }
    }
    rewinddir(dir);
    while ((d = readdir(dir)) != NULL) {
        if (d->d_type != DT_DIR || d->d_name[0] == '.')
            continue;
        size_t n = strlen(d->d_name);
        memcpy(path + len, d->d_name, n);
        path[len + n] = '/';
        path[len + n + 1] = 0;
        walk(path, len + n + 1);
    }
    path[len] = 0;
    closedir(dir);
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: reference_walk ROOT/\n");
        return 2;
    }
    static char path[8192];
    size_t len = strlen(argv[1]);
    if (len + 2 >= sizeof path)
        return 2;
    memcpy(path, argv[1], len + 1);
    if (path[len - 1] != '/') {
        path[len++] = '/';
        path[len] = 0;
    }
    walk(path, len);
    printf("%lu %lu\n", files, opened);
    return 0;
}
