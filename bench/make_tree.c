/* Writes a benchmark tree: FILES files over 20 x 10 folders, sizes spread so that most lie in the
   scan's size window, heads either healthy ("%PDF") or damaged (inverted). */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static unsigned long long state = 88172645463325252ULL;
static unsigned long next(void)
{
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return (unsigned long)(state >> 11);
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: make_tree DIR FILES\n");
        return 2;
    }
    const char* root = argv[1];
    const long total = atol(argv[2]);
    const int tops = 20, subs = 10, folders = tops * subs;
    char path[4096], buffer[8192];
    memset(buffer, ' ', sizeof buffer);
    long made = 0;
    for (int t = 0; t < tops; ++t) {
        snprintf(path, sizeof path, "%s/top%02d", root, t);
        mkdir(path, 0755);
        for (int s = 0; s < subs; ++s) {
            snprintf(path, sizeof path, "%s/top%02d/sub%02d", root, t, s);
            mkdir(path, 0755);
            const long here = total / folders + ((t * subs + s) < total % folders ? 1 : 0);
            for (long i = 0; i < here; ++i, ++made) {
                const unsigned long r = next();
                const char* ext = (r % 20 == 0) ? "exe" : (r % 3 == 0) ? "jpg" : "doc";
                snprintf(path, sizeof path, "%s/top%02d/sub%02d/file%06ld.%s", root, t, s, made, ext);
                int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
                if (fd < 0) {
                    perror(path);
                    return 1;
                }
                long size;
                const unsigned long pick = (r >> 8) % 100;
                if (pick < 3)
                    size = 5;                           /* below the window */
                else if (pick < 4)
                    size = 6000000;                     /* above it, sparse */
                else
                    size = 100 + (long)((r >> 16) % 7900);
                const long written = size < (long)sizeof buffer ? size : 400;
                memcpy(buffer, "%PDF", 4);
                if ((r >> 24) % 2)
                    for (int k = 0; k < 100; ++k)
                        buffer[k] = (char)~buffer[k];
                if (write(fd, buffer, (size_t)written) != written || ftruncate(fd, size) != 0) {
                    perror(path);
                    return 1;
                }
                if ((r >> 24) % 2)
                    for (int k = 0; k < 100; ++k)
                        buffer[k] = (char)~buffer[k];
                close(fd);
            }
        }
    }
    printf("%ld\n", made);
    return 0;
}
