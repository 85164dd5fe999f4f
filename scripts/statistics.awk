# What the benchmark scripts print of their timings, shared by them: the median of
# a[1..n] (sorting a in place), and the smallest and largest of a[1..n] into lo and hi.
function median(a, n,   i, j, t) {
  for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) {
    t = a[j]; a[j] = a[j - 1]; a[j - 1] = t
  }
  return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
}
function spread(a, n,   i) {
  lo = a[1]; hi = a[1]
  for (i = 1; i <= n; i++) { if (a[i] < lo) lo = a[i]; if (a[i] > hi) hi = a[i] }
}
