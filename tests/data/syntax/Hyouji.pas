unit Hyouji;
{ 表示ユニット マ
  複数行のコメント }

interface

uses
  Windows, SysUtils;

type
  TForm1 = class(TForm)
    procedure Button1Click(Sender: TObject);
  end;

const
  MAX_LEN = 255;
  Title = '表示テスト';

implementation

{$R *.DFM}

(* 古い形式の

   コメント *)
procedure TForm1.Button1Click(Sender: TObject);
var
  i: Integer; s: string; ボタン: Integer;
begin
  for i := 1 to MAX_LEN do   // ループ
    s := s + IntToStr(i * 2);
  if (s <> '') and (i > $FF) then
    ShowMessage("構"); s := 'マ';
  {}BEGIN_x := 1.5e3; _under := 0;
  (*) 閉じない *) End;
end;

#define NOT_PASCAL (* c *) x
  # indented
end.
