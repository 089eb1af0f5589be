#!/usr/bin/perl
# 掲示板 CGI スクリプト
use strict;
require 'jcode.pl';

my $title = "表示板";
my @list = (1, 2, 3);
my $last = $#list;  # 最後の添字
print "Content-type: text/html\n\n";
print "<html><head><title>$title</title></head>\n";
foreach my $item (@list) {
    if ($item > 1) { print "$item\n"; }
}
my $str = '能';  # 能 ends in 0x5C
my $str2 = '表\' still open';
my $esc = "a\"b # not a comment";
$print = 1; print STDOUT "ok"; Print;
my $long = "continued \
line";
sub print_footer {
    local($msg) = @_;
    return sprintf("%s-%d", $msg, 0x1F) . $x_y;
}
exit;
